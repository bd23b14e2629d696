#pragma once
#include <cstdint>

#include "shell/PcmFormat.h"

// The capture's clock: frame k shows the music at k / fps seconds. Every frame's
// position is computed from its index alone, so a frame looks the same whichever
// range of frames a capture renders.
struct FrameClock {
    int fps = 60;
    PcmFormat format;

    // Byte position of the sample nearest k / fps seconds.
    uint64_t position(int64_t frame) const;
    // Frames before a stream of `length` bytes ends: those whose position is below it.
    int64_t framesBefore(uint64_t length) const;
    // The first frame k with seconds <= k / fps, forgiving a thousandth of a frame
    // so that a time printed from k / fps names frame k.
    int64_t firstFrameAt(double seconds) const;
};
