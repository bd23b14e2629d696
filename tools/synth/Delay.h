#pragma once
#include "tools/synth/Filter.h"

#include <cstddef>
#include <vector>

namespace synth {

// Stereo echo that bounces between the sides: the first repeat comes on the left after
// one delay time, the next on the right after two, each later pair quieter by the
// feedback factor. The repeats lose treble on the way, like a tape echo.
class PingPongDelay {
  public:
    PingPongDelay(int delayFrames, float feedback, float dampHz);

    // Adds the echoes of the mono input to left and right.
    void process(const float* in, float* left, float* right, int frames);

  private:
    std::vector<float> lineLeft, lineRight;
    size_t pos = 0;
    float feedback;
    OnePole damp;
};

} // namespace synth
