// The window's traced side against a simulated renderer whose frame costs a fixed
// part plus a part that grows with the traced area.
#include "shell/AdaptiveResolution.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct Renderer {
    double fixed, perPixel;
    double frame(int side) const { return fixed + perPixel * side * side; }
};

// Runs `frames` frames; returns the sides of the last `tail` of them.
std::set<int> run(AdaptiveResolution& adaptive, const Renderer& renderer, int frames, int tail) {
    std::set<int> sides;
    for (int f = 0; f < frames; ++f) {
        int side = adaptive.update(renderer.frame(adaptive.side()));
        EXPECT_GE(side, AdaptiveResolution::kMinSide);
        EXPECT_LE(side, 800);
        if (f >= frames - tail)
            sides.insert(side);
    }
    return sides;
}

} // namespace

TEST(AdaptiveResolution, SettlesNearTheTargetHoldsStillAndFollowsACostlierScene) {
    const double target = 1.0 / 24;
    AdaptiveResolution adaptive(24, 800);
    const Renderer cheap{0.01, 1e-6}; // 24 fps at about 178 pixels
    std::set<int> settled = run(adaptive, cheap, 120, 60);
    ASSERT_EQ(settled.size(), 1u) << "the side flickers";
    const double time = cheap.frame(*settled.begin());
    EXPECT_LE(time, 1.1 * target);
    EXPECT_GE(time, 0.6 * target) << "settled far below what the target allows, at " << *settled.begin();

    // The next scene costs four times as much per pixel: within a dozen frames the
    // frame time is back near the target, and it stays still again.
    const Renderer costly{0.01, 4e-6};
    run(adaptive, costly, 12, 0);
    EXPECT_LE(costly.frame(adaptive.side()), 1.2 * target);
    EXPECT_EQ(run(adaptive, costly, 80, 40).size(), 1u);
}

TEST(AdaptiveResolution, StaysWithinItsBoundsWhateverTheTimes) {
    AdaptiveResolution slow(30, 800);
    run(slow, Renderer{0.5, 1e-6}, 50, 0); // even the smallest side is too slow
    EXPECT_EQ(slow.side(), AdaptiveResolution::kMinSide);
    AdaptiveResolution fast(30, 640);
    run(fast, Renderer{0.001, 1e-9}, 80, 0);
    EXPECT_EQ(fast.side(), 640);
    EXPECT_EQ(fast.update(0), 640) << "a zero or missing time changes nothing";
    AdaptiveResolution tiny(30, 50);
    EXPECT_EQ(tiny.side(), AdaptiveResolution::kMinSide) << "targets smaller than the floor";
}
