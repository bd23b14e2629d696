#include "tools/synth/Filter.h"

#include "tools/synth/Dsp.h"

#include <algorithm>
#include <cmath>

namespace synth {

void SvfFilter::setCutoff(float hz, float q) {
    hz = std::clamp(hz, 10.0f, 0.45f * kSampleRate);
    float g = std::tan(kPi * hz / kSampleRate);
    k = 1.0f / std::max(q, 0.1f);
    a1 = 1.0f / (1.0f + g * (g + k));
    a2 = g * a1;
    a3 = g * a2;
}

void OnePole::setCutoff(float hz) {
    hz = std::clamp(hz, 1.0f, 0.45f * kSampleRate);
    coef = 1.0f - std::exp(-kTwoPi * hz / kSampleRate);
}

} // namespace synth
