#include "shell/AdaptiveResolution.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kWeight = 0.3;     // of the newest frame in the smoothed time
constexpr double kTooSlow = 1.1;    // above this share of the target: shrink
constexpr double kTooFast = 0.75;   // below it: grow
constexpr double kFarTooSlow = 2.0; // act on one frame alone, without waiting
constexpr int kSettleFrames = 4;    // after a change, for the new side's times to come in
} // namespace

AdaptiveResolution::AdaptiveResolution(double targetFps, int maxSide)
    : target(1.0 / std::max(targetFps, 1e-3)), smoothed(0), maxSide(std::max(maxSide, kMinSide)),
      current(std::clamp(maxSide / 4 / kStep * kStep, kMinSide, std::max(maxSide, kMinSide))) {}

int AdaptiveResolution::update(double frameSeconds) {
    if (!(frameSeconds > 0))
        return current;
    smoothed = smoothed > 0 ? smoothed + kWeight * (frameSeconds - smoothed) : frameSeconds;
    const bool farTooSlow = frameSeconds > kFarTooSlow * target;
    if (settle > 0 && !farTooSlow) {
        --settle;
        return current;
    }
    const double measured = farTooSlow ? frameSeconds : smoothed;
    const double share = measured / target;
    if (share <= kTooSlow && share >= kTooFast)
        return current;
    // Growing is cautious (half the way), shrinking goes all the way at once.
    double scale = std::sqrt(1.0 / share);
    if (scale > 1)
        scale = 1 + 0.5 * (scale - 1);
    int wanted = int(std::lround(current * scale / kStep)) * kStep;
    wanted = std::clamp(wanted, kMinSide, maxSide);
    if (wanted == current && share > kTooSlow && current > kMinSide)
        wanted = std::max(kMinSide, current - kStep);
    if (wanted == current && share < kTooFast && current < maxSide)
        wanted = std::min(maxSide, current + kStep);
    if (wanted != current) {
        current = wanted;
        settle = kSettleFrames;
        smoothed = 0; // the old side's times say little about the new one
    }
    return current;
}
