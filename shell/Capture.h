#pragma once
#include "shell/CommandLine.h"

// Renders the show without a window on a headless GL context, frame k showing the
// music at k / fps seconds, into PNG files or a video (options.captureOut). Runs the
// window's start-up steps and frame step on a manual music clock. Returns the
// process exit status: 0 done, 1 failed, 2 bad output name, 130 stopped by Ctrl-C
// (what was written is complete and plays).
int runCapture(const Options& options);
