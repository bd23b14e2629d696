#include "shell/CommandLine.h"

#include <cstdio>
#include <cstring>

Options parseCommandLine(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (strcmp(arg, "--windowed") == 0) {
            options.windowed = true;
        } else if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
            options.help = true;
        } else if (arg[0] == '-' && arg[1] == '-') {
            options.error = arg;
        }
        // Anything else is left to freeglut (for example -display or -geometry).
    }
    return options;
}

void printUsage(const char* program) {
    printf("Usage: %s [--windowed] [--help]\n"
           "\n"
           "Plays the demo: run it in its data directory (horn.mp3, shaders/, textures/, models/).\n"
           "With no options it switches to the 1024x768 full-screen game mode when the display\n"
           "offers it, plays the music from the start and exits when the track ends.\n"
           "\n"
           "  --windowed   stay in a 1024x768 window (no game mode)\n"
           "  --help       show this text\n"
           "\n"
           "Keys: Enter reload the scene, 1-9/0 pick a scene, f full screen, Esc quit,\n"
           "      space jump 5 s forward, backspace jump 5 s back.\n",
           program);
}
