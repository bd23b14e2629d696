#include "tools/synth/Delay.h"

#include <algorithm>

namespace synth {

PingPongDelay::PingPongDelay(int delayFrames, float feedback, float dampHz)
    : lineLeft((size_t)std::max(delayFrames, 1), 0.0f), lineRight(lineLeft.size(), 0.0f), feedback(feedback),
      damp(dampHz) {}

void PingPongDelay::process(const float* in, float* left, float* right, int frames) {
    for (int i = 0; i < frames; ++i) {
        float outLeft = lineLeft[pos];
        float outRight = lineRight[pos];
        lineLeft[pos] = in[i] + damp.lowpass(outRight) * feedback;
        lineRight[pos] = outLeft;
        left[i] += outLeft;
        right[i] += outRight;
        if (++pos == lineLeft.size())
            pos = 0;
    }
}

} // namespace synth
