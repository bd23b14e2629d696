#pragma once
#include <chrono>

#include "shell/StreamClock.h"

// A stream that plays nothing and runs in real time from the moment play is
// called: the show's clock when there is no audio device or no music file.
class SilentClock : public StreamClock {
  public:
    SilentClock(PcmFormat format, uint64_t length) : StreamClock(format, length) {}

    bool play(bool restart) override;
    void pause() override;
    uint64_t position() override;
    void setPosition(uint64_t bytes) override;

  private:
    using Clock = std::chrono::steady_clock;
    bool running = false;
    uint64_t basePosition = 0; // position at baseTime
    Clock::time_point baseTime;
};
