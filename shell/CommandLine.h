#pragma once

// Extras on the command line; with no arguments the show runs as intended.
struct Options {
    bool windowed = false; // never switch to the full-screen game mode
    bool help = false;
    const char* error = nullptr; // set when the arguments cannot be understood
};

Options parseCommandLine(int argc, char** argv);
void printUsage(const char* program);
