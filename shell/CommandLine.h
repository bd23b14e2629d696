#pragma once

// Extras on the command line; with no arguments the show runs as intended.
struct Options {
    bool windowed = false; // never switch to the full-screen game mode
    bool help = false;
    const char* inspectFile = nullptr; // print what the GPU receives from this 3D Studio file
    int inspectFrame = 0;
    const char* error = nullptr;   // set when the arguments cannot be understood
    const char* unknown = nullptr; // the option that was not understood
};

Options parseCommandLine(int argc, char** argv);
void printUsage(const char* program);
