#include "tools/synth/Reverb.h"

#include "tools/synth/Dsp.h"

namespace synth {

namespace {

// Mutually prime line lengths in samples at 44.1 kHz; the right side adds kSpread.
const int kCombLengths[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
const int kAllpassLengths[] = {556, 441, 341, 225};
constexpr int kSpread = 23;
constexpr float kInputGain = 0.015f;
constexpr float kPreDelaySeconds = 0.015f;

} // namespace

float Reverb::Comb::process(float in, float fb, float damp) {
    float out = line[pos];
    store = out * (1.0f - damp) + store * damp;
    line[pos] = in + store * fb;
    if (++pos == line.size())
        pos = 0;
    return out;
}

float Reverb::Allpass::process(float in) {
    float delayed = line[pos];
    line[pos] = in + delayed * 0.5f;
    if (++pos == line.size())
        pos = 0;
    return delayed - in;
}

float Reverb::Side::process(float in, float fb, float damp) {
    float sum = 0.0f;
    for (Comb& c : combs)
        sum += c.process(in, fb, damp);
    for (Allpass& a : allpasses)
        sum = a.process(sum);
    return sum;
}

Reverb::Reverb(float roomSize, float damping)
    : preDelay((size_t)secondsToFrames(kPreDelaySeconds), 0.0f), feedback(0.7f + 0.28f * roomSize),
      damping(0.4f * damping) {
    for (int s = 0; s < 2; ++s) {
        int spread = s * kSpread;
        for (int length : kCombLengths)
            sides[s].combs.push_back({std::vector<float>(length + spread, 0.0f)});
        for (int length : kAllpassLengths)
            sides[s].allpasses.push_back({std::vector<float>(length + spread, 0.0f)});
    }
}

void Reverb::process(const float* inLeft, const float* inRight, float* left, float* right, int frames) {
    for (int i = 0; i < frames; ++i) {
        float in = preDelay[preDelayPos];
        preDelay[preDelayPos] = (inLeft[i] + inRight[i]) * kInputGain;
        if (++preDelayPos == preDelay.size())
            preDelayPos = 0;
        left[i] += sides[0].process(in, feedback, damping);
        right[i] += sides[1].process(in, feedback, damping);
    }
}

} // namespace synth
