#pragma once
#include "core/CommandLine.h"
#include "shell/ScenePreview.h"

// The command line with --scene resolved against the scene classes.
struct Options : CommandLineOptions {
    SceneChoice scene; // --scene: one scene alone instead of the show
};

Options parseCommandLine(int argc, char** argv);
// The whole of --help.
void printUsage(const char* program);
