#include "shell/FrameClock.h"

#include <cmath>

namespace {
const double kFrameTolerance = 1e-3;
}

uint64_t FrameClock::position(int64_t frame) const {
    if (frame <= 0)
        return 0;
    // Nearest sample in integers: floor((2 k rate + fps) / (2 fps)).
    uint64_t twice = 2 * (uint64_t)frame * (uint64_t)format.rate + (uint64_t)fps;
    return twice / (2 * (uint64_t)fps) * format.frameBytes();
}

int64_t FrameClock::framesBefore(uint64_t length) const {
    // Estimate from the length, then settle on the exact count.
    int64_t count = (int64_t)((double)(length / format.frameBytes()) * fps / format.rate) + 2;
    while (count > 0 && position(count - 1) >= length)
        --count;
    while (position(count) < length)
        ++count;
    return count;
}

int64_t FrameClock::firstFrameAt(double seconds) const {
    double frame = std::ceil(seconds * fps - kFrameTolerance);
    return frame < 0 ? 0 : (int64_t)frame;
}
