#pragma once
#include <chrono>
#include <cstdint>

// The capture's progress on standard error: refreshed in place on a terminal, one
// line every few seconds otherwise (a log file or a render farm's output).
class CaptureProgress {
  public:
    CaptureProgress(int64_t firstFrame, int64_t endFrame);
    void frameDone(int64_t frame, float musicTime, int scene);
    // Ends the line being refreshed on a terminal.
    void finish();
    double elapsedSeconds() const;

  private:
    using Clock = std::chrono::steady_clock;
    void show(int64_t frame, float musicTime, int scene);

    int64_t first;
    int64_t end;
    bool terminal;
    Clock::time_point started;
    Clock::time_point lastShown;
    bool shownOnce = false;
};
