#pragma once
#include "shell/StreamClock.h"

// A stream that plays nothing and stands still: its position is whatever was last
// set. The capture mode moves it to each frame's position, so the picture depends
// on the frame index alone, never on how long rendering took.
class ManualClock : public StreamClock {
  public:
    ManualClock(PcmFormat format, uint64_t length) : StreamClock(format, length) {}

    bool play(bool restart) override;
    void pause() override {} // it never moves by itself
    uint64_t position() override { return current; }
    void setPosition(uint64_t bytes) override;

  private:
    uint64_t current = 0;
};
