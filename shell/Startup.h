#pragma once
#include "shell/CommandLine.h"

class Windowing;

// Toolkit, window or game mode, GL state, callbacks.
void initWindow(Windowing& toolkit, int* argc, char** argv, const Options& options);
// The whole start-up: window, GL entry points, audio, line-up, shared buffers,
// playback, first activation. Returns with the first scene active.
void initDemo(int* argc, char** argv, const Options& options);
