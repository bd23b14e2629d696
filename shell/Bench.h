#pragma once
#include "shell/CommandLine.h"

// Times the show without a window: the start-up split into music, shaders, models
// and textures, then a run of frames of each scene of the line-up on the manual
// clock, with GPU timer queries around each pass. The report goes to standard
// output (a table, or JSON with options.json); the scenes' loading lines go to
// standard error. Returns the exit status.
int runBench(const Options& options);
