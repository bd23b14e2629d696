#include "tools/synth/Loudness.h"

#include "tools/synth/Dsp.h"

#include <algorithm>
#include <cmath>

namespace synth {

namespace {

struct Biquad {
    double b0, b1, b2, a1, a2;
    double z1 = 0.0, z2 = 0.0;
    double process(double x) {
        double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// The two K-weighting stages derived for any rate from their analogue prototypes:
// a high shelf of about +4 dB above 1.7 kHz (the head) and a 38 Hz high-pass.
Biquad headShelf(double rate) {
    const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
    double k = std::tan(M_PI * f0 / rate);
    double vh = std::pow(10.0, gainDb / 20.0);
    double vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1.0 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
            2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

Biquad lowCut(double rate) {
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    double k = std::tan(M_PI * f0 / rate);
    double a0 = 1.0 + k / q + k * k;
    return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

double toLufs(double meanSquare) {
    return -0.691 + 10.0 * std::log10(meanSquare);
}

} // namespace

float integratedLoudness(const std::vector<float>& x) {
    const size_t frames = x.size() / 2;
    const size_t step = kSampleRate / 10; // 100 ms: a block is four steps
    // Weighted energy per 100 ms step, summed over both channels.
    std::vector<double> steps;
    Biquad shelf[2] = {headShelf(kSampleRate), headShelf(kSampleRate)};
    Biquad cut[2] = {lowCut(kSampleRate), lowCut(kSampleRate)};
    double energy = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < 2; ++c) {
            double y = cut[c].process(shelf[c].process(x[2 * i + c]));
            energy += y * y;
        }
        if ((i + 1) % step == 0) {
            steps.push_back(energy);
            energy = 0.0;
        }
    }
    std::vector<double> blocks;
    for (size_t i = 3; i < steps.size(); ++i)
        blocks.push_back((steps[i - 3] + steps[i - 2] + steps[i - 1] + steps[i]) / (4.0 * step));

    auto gatedMean = [&](double threshold, double& mean) {
        double sum = 0.0;
        size_t count = 0;
        for (double z : blocks)
            if (z > 0.0 && toLufs(z) > threshold) {
                sum += z;
                ++count;
            }
        mean = count ? sum / count : 0.0;
        return count > 0;
    };
    double mean = 0.0;
    if (!gatedMean(-70.0, mean))
        return -70.0f;
    double relative = toLufs(mean) - 10.0;
    gatedMean(relative, mean);
    return (float)toLufs(mean);
}

float samplePeak(const std::vector<float>& x) {
    float peak = 0.0f;
    for (float v : x)
        peak = std::max(peak, std::fabs(v));
    return peak;
}

} // namespace synth
