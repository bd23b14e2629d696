#include "shell/CommandLine.h"

Options parseCommandLine(int argc, char** argv) {
    Options o;
    SceneChoice& scene = o.scene;
    static_cast<CommandLineOptions&>(o) =
        parseCommandLine(argc, argv, [&scene](const char* value) { return parseSceneChoice(value, &scene); });
    return o;
}

void printUsage(const char* program) {
    printCommandLineUsage(program);
    printPreviewUsage(program);
}
