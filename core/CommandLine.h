#pragma once
#include <functional>
#include <string>
#include <vector>

// Extras on the command line; with no arguments the show runs as intended. The
// shell's Options adds what --scene names (shell/CommandLine.h).
struct CommandLineOptions {
    bool windowed = false; // never switch to the full-screen game mode
    int targetFps = 0;     // window: trace smaller while frames are slower than this; 0: never
    bool help = false;
    const char* inspectFile = nullptr; // print what the GPU receives from this 3D Studio file
    int inspectFrame = 0;
    bool inspectSummary = false; // --summary: a few lines about the file instead of every texel

    // Headless capture of the show to PNG files (a directory) or a video (.mp4, .mkv).
    const char* captureOut = nullptr;
    int fps = 60;
    int width = 1024; // the window size the scenes read; with --size also the window's own
    int height = 768;
    bool sizeGiven = false;   // --size: the window starts at that size and stays a window
    double from = 0;          // seconds of music
    double to = -1;           // seconds of music; below 0: the end of the track
    int renderWidth = 0;      // side of the polygon scenes' render targets; 0: see RenderSide.h
    bool glDebug = false;     // capture on a GL debug context; GL's errors fail the run
    bool captureOnly = false; // --fps or --to: they only make sense with --capture or --bench

    // Times each scene of the line-up headlessly (with --size, --fps, --render-width).
    bool bench = false;
    bool json = false;   // the benchmark's report as JSON instead of a table
    bool spread = false; // the benchmark's frames across each scene's whole time, not its start

    const char* sceneValue = nullptr; // --scene: one scene alone instead of the show; as given
    bool watch = false;               // --watch: reload the scene on screen when its data files change
    const char* showFile = nullptr;   // --show: the line-up from this TOML file instead of the built-in one
    bool edit = false;    // --edit (implied by --watch and, in the window, --overlay): transport and overlay
    bool overlay = false; // --overlay: the authoring overlay in a capture too
    bool fromGiven = false; // --from: the window starts there as well

    // argv[0] and freeglut's own options (-display NAME, -geometry WxH+X+Y, -direct,
    // -indirect, -iconic, -gldebug, -sync) in their order, null-terminated: what
    // glutInit is given. The count excludes the terminating null.
    std::vector<char*> toolkitArgs;
    int toolkitArgc() const { return (int)toolkitArgs.size() - 1; }

    std::string error; // why the arguments cannot be understood; empty when they can
};

// Checks the value of --scene: "" when it names a scene, else why not. The scenes
// it may name are the shell's (its GL scene classes), so the caller hands it in.
using SceneValueCheck = std::function<std::string(const char* value)>;

CommandLineOptions parseCommandLine(int argc, char** argv, const SceneValueCheck& checkScene);
// --help's text for every option but --scene and --watch, which list the scene classes.
void printCommandLineUsage(const char* program);

// A whole number in [low, high] with nothing after it, as an int; false (and
// `out` untouched) for anything else.
bool parseInt(const char* text, long low, long high, int* out);
