#pragma once
#include <cstdint>

// Where captured frames go: 8-bit RGB pixels, top row first, all of one size.
class FrameSink {
  public:
    virtual ~FrameSink() = default;
    // Stores frame `index`; false (after an "ERROR: " line) when it could not be stored.
    virtual bool write(int64_t index, const unsigned char* rgb) = 0;
    // Completes the output; false (after an "ERROR: " line) when it is not usable.
    virtual bool finish() = 0;
};
