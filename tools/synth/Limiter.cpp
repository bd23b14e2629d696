#include "tools/synth/Limiter.h"

#include "tools/synth/Dsp.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace synth {

namespace {

// needed[i] = largest gain that keeps frame i under the ceiling.
std::vector<float> neededGain(const std::vector<float>& x, float ceiling) {
    size_t frames = x.size() / 2;
    std::vector<float> gain(frames, 1.0f);
    for (size_t i = 0; i < frames; ++i) {
        float peak = std::max(std::fabs(x[2 * i]), std::fabs(x[2 * i + 1]));
        // A hair under the ceiling, so that rounding in the multiplication cannot pass it.
        if (peak > ceiling)
            gain[i] = ceiling * 0.99999f / peak;
    }
    return gain;
}

// Minimum over the window [i, i + window] with a monotonic queue: the gain is
// already down when the peak arrives.
std::vector<float> minimumAhead(const std::vector<float>& g, size_t window) {
    std::vector<float> out(g.size());
    std::deque<size_t> queue;
    size_t next = 0;
    for (size_t i = 0; i < g.size(); ++i) {
        for (; next < g.size() && next <= i + window; ++next) {
            while (!queue.empty() && g[queue.back()] >= g[next])
                queue.pop_back();
            queue.push_back(next);
        }
        while (queue.front() < i)
            queue.pop_front();
        out[i] = g[queue.front()];
    }
    return out;
}

} // namespace

void limitPeaks(std::vector<float>& x, float ceiling, float lookaheadSeconds, float releaseSeconds) {
    size_t window = (size_t)std::max(secondsToFrames(lookaheadSeconds), 1);
    std::vector<float> needed = neededGain(x, ceiling);
    std::vector<float> gain = minimumAhead(needed, window);

    // Recovery towards unity; a lower requirement always wins at once. The state is the
    // reduction, not the gain, so that small reductions keep shrinking in float.
    float recover = decayCoefficient(releaseSeconds);
    float reduction = 0.0f;
    for (float& g : gain) {
        reduction = std::max(1.0f - g, reduction * recover);
        if (reduction < 1e-6f)
            reduction = 0.0f; // fully recovered: quiet passages pass untouched
        g = 1.0f - reduction;
    }

    // A moving average over the look-ahead turns the steps into ramps. Every frame of the
    // averaged window ahead of a peak already holds at most the peak's gain, so the ramp
    // arrives there in time.
    double sum = 0.0;
    std::vector<float> smooth(gain.size());
    for (size_t i = 0; i < gain.size(); ++i) {
        sum += gain[i];
        if (i >= window)
            sum -= gain[i - window];
        size_t count = std::min(i + 1, window);
        smooth[i] = (float)(sum / count);
    }
    for (size_t i = 0; i < smooth.size(); ++i) {
        // The running sum may drift by rounding; the frame's own need is the hard bound.
        float g = std::min(smooth[i], needed[i]);
        x[2 * i] *= g;
        x[2 * i + 1] *= g;
    }
}

} // namespace synth
