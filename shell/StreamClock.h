#pragma once
#include <cstdint>

#include "shell/PcmFormat.h"

// One playing stream as the show's clock: a position in bytes that starts at
// play and ends at the length.
class StreamClock {
  public:
    virtual ~StreamClock() = default;
    virtual bool play(bool restart) = 0;
    // Stops the position where it is until the next play.
    virtual void pause() = 0;
    virtual uint64_t position() = 0;
    // Clamped to the length; at the length the stream stops.
    virtual void setPosition(uint64_t bytes) = 0;

    uint64_t length() const { return lengthBytes; }
    const PcmFormat& format() const { return pcm; }

  protected:
    StreamClock(PcmFormat format, uint64_t length) : pcm(format), lengthBytes(length) {}
    PcmFormat pcm;
    uint64_t lengthBytes;
};
