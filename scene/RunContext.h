#pragma once
#include <string>
#include <vector>

#include "scene/LoadTimes.h"

class ShaderBuildLog;

// The settings and services of one run that the scenes share: the shell owns one
// (tests make their own) and hands it to every scene and shader program it builds,
// which keep a reference, so it must outlive them.
struct RunContext {
    // The window size in pixels, as the last reshape set it. Scenes read it for their
    // viewports and the "ScreenWidth"/"ScreenHeight" uniforms; only the shell writes it.
    int screenWidth = 1024;
    int screenHeight = 768;

    // Seconds spent loading each kind of data file, for the benchmark's split of the start-up.
    LoadTimes loadTimes;

    // Live editing's log of the programs a reload builds (see ShaderBuildLog.h): with
    // one, a program that fails to build keeps drawing with its last linked version.
    // Null, the default, turns that off.
    ShaderBuildLog* shaderBuildLog = nullptr;

    // While set, every path dataPath below hands out is appended to it: the files a
    // scene's init opens, which live editing watches.
    std::vector<std::string>* openedFiles = nullptr;

    // core/DataPath.h's mapping of a data name to a path, noted in openedFiles.
    std::string dataPath(const char* name) const;
};
