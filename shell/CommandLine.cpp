#include "shell/CommandLine.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool parseFrame(const char* text, int* frame) {
    char* end = nullptr;
    errno = 0;
    long value = strtol(text, &end, 10);
    if (errno || end == text || *end || value < INT_MIN || value > INT_MAX)
        return false;
    *frame = (int)value;
    return true;
}

} // namespace

Options parseCommandLine(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (strcmp(arg, "--windowed") == 0) {
            options.windowed = true;
        } else if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
            options.help = true;
        } else if (strcmp(arg, "--inspect") == 0) {
            if (i + 1 >= argc) {
                options.error = "--inspect needs a file";
                break;
            }
            options.inspectFile = argv[++i];
        } else if (strcmp(arg, "--frame") == 0) {
            if (i + 1 >= argc || !parseFrame(argv[i + 1], &options.inspectFrame)) {
                options.error = "--frame needs a whole number";
                break;
            }
            ++i;
        } else if (arg[0] == '-' && arg[1] == '-') {
            options.error = "unknown option";
            options.unknown = arg;
        }
        // Anything else is left to freeglut (for example -display or -geometry).
    }
    return options;
}

void printUsage(const char* program) {
    printf("Usage: %s [--windowed] [--help]\n"
           "       %s --inspect FILE [--frame N]\n"
           "\n"
           "Plays the demo: run it in its data directory (horn.mp3, shaders/, textures/, models/).\n"
           "With no options it switches to the 1024x768 full-screen game mode when the display\n"
           "offers it, plays the music from the start and exits when the track ends.\n"
           "\n"
           "  --windowed   stay in a 1024x768 window (no game mode)\n"
           "  --help       show this text\n"
           "  --inspect FILE [--frame N]\n"
           "               evaluate a 3D Studio file at animation frame N (default 0) and print\n"
           "               what the ray tracer receives, without opening a window: one line\n"
           "               \"TEXEL REGION X Y Z W\" per texel written to the primitive buffer, in\n"
           "               index order (REGION: header, triangle, volume, material, light, mesh;\n"
           "               floats in %%.9g), then \"camera PX PY PZ TX TY TZ ROLL FOV\"\n"
           "\n"
           "Keys: Enter reload the scene, 1-9/0 pick a scene, f full screen, Esc quit,\n"
           "      space jump 5 s forward, backspace jump 5 s back.\n",
           program, program);
}
