#include "shell/CaptureProgress.h"

#include <cstdio>
#include <unistd.h>

namespace {
const double kTerminalPeriod = 0.2; // seconds between refreshes on a terminal
const double kLogPeriod = 5.0;      // seconds between lines elsewhere
} // namespace

CaptureProgress::CaptureProgress(int64_t firstFrame, int64_t endFrame)
    : first(firstFrame), end(endFrame), terminal(isatty(2)), started(Clock::now()), lastShown(started) {}

double CaptureProgress::elapsedSeconds() const {
    return std::chrono::duration<double>(Clock::now() - started).count();
}

void CaptureProgress::frameDone(int64_t frame, float musicTime, int scene) {
    double sinceShown = std::chrono::duration<double>(Clock::now() - lastShown).count();
    bool last = frame + 1 >= end;
    if (sinceShown >= (terminal ? kTerminalPeriod : kLogPeriod) || (terminal && last))
        show(frame, musicTime, scene);
}

void CaptureProgress::show(int64_t frame, float musicTime, int scene) {
    lastShown = Clock::now();
    int64_t done = frame + 1 - first;
    double elapsed = elapsedSeconds();
    double rate = elapsed > 0 ? done / elapsed : 0;
    long left = rate > 0 ? (long)((end - frame - 1) / rate + 0.5) : 0;
    fprintf(stderr, "%sframe %lld (%lld/%lld)  music %.2f s  scene %d  %.2f frames/s  %ldm%02lds left%s",
            terminal ? "\r" : "", (long long)frame, (long long)done, (long long)(end - first), musicTime,
            scene, rate, left / 60, left % 60, terminal ? "\033[K" : "\n");
    fflush(stderr);
    shownOnce = true;
}

void CaptureProgress::finish() {
    if (terminal && shownOnce)
        fprintf(stderr, "\n");
}
