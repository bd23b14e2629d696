#include "core/AnimationFrame.h"

#include <gtest/gtest.h>

namespace {

TEST(AnimationFrame, StartsAtTheBeatOffset) {
    // 0.35 beat in: 16 x 0.35 = 5.6 and 8 x 0.35 = 2.8, truncated.
    EXPECT_EQ(AnimationFrame::at(0.0f, 16, 100), 5);
    EXPECT_EQ(AnimationFrame::at(0.0f, 8, 100), 2);
    // One beat later (60 / 130 s) sixteen frames on.
    EXPECT_EQ(AnimationFrame::at(60.0f / 130.0f, 16, 100), 21);
}

TEST(AnimationFrame, LoopsOverTheFileFrames) {
    EXPECT_EQ(AnimationFrame::at(0.0f, 16, 5), 0);
    // 10 s: beat 22.0166..., frame 352 of a 100-frame loop.
    EXPECT_EQ(AnimationFrame::at(10.0f, 16, 100), 52);
    // Before the scene's start the remainder keeps the dividend's sign:
    // beat -1.8166..., f = -29.
    EXPECT_EQ(AnimationFrame::at(-1.0f, 16, 10), -9);
}

TEST(AnimationFrame, FileWithoutFramesShowsFrameZero) {
    EXPECT_EQ(AnimationFrame::at(0.0f, 16, 0), 0);
    EXPECT_EQ(AnimationFrame::at(123.4f, 16, 0), 0);
}

TEST(AnimationFrame, BeatIsComputedInDoubleThenRounded) {
    // Here float arithmetic would reach beat 17.0625 exactly and frame 273; the
    // double computation rounds to 17.0624981.
    EXPECT_EQ(AnimationFrame::at(7.71346092f, 16, 100000), 272);
}

TEST(AnimationFrame, FlattensOnChangeOrAfterInit) {
    EXPECT_FALSE(AnimationFrame::needsFlatten(5, 5, false));
    EXPECT_TRUE(AnimationFrame::needsFlatten(6, 5, false));
    // A freshly initialised scene holds the reset buffer even when it last
    // evaluated this very frame.
    EXPECT_TRUE(AnimationFrame::needsFlatten(5, 5, true));
}

} // namespace
