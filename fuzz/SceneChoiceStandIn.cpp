#include "shell/ScenePreview.h"

#include <cstdlib>

// The command-line target links the parser alone, but the --scene value is checked
// in ScenePreview, whose class table constructs the GL scenes. This stand-in takes
// a scene of the show by number (1 to 6) and refuses anything else, so the options
// around --scene are parsed as in the program; the value itself is not fuzzed here.
std::string parseSceneChoice(const char* text, SceneChoice* choice) {
    *choice = SceneChoice();
    char* end = nullptr;
    long number = text ? strtol(text, &end, 10) : 0;
    if (text && *text && !*end && number >= 1 && number <= 6) {
        choice->lineUpScene = int(number);
        return "";
    }
    return "--scene: not a scene of the show";
}

void printPreviewUsage(const char*) {}
