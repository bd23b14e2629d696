#include "shell/Callbacks.h"

#include <gtest/gtest.h>

#include "shell/ShellState.h"
#include "support/ShellFakes.h"

// GL calls made here without a current context go to glvnd's no-op dispatch.
namespace {

class CallbacksTest : public ::testing::Test {
  protected:
    FakeMusic fakeMusic;
    FakeWindowing fakeWindowing;
    void SetUp() override { resetShellForTest(fakeMusic, fakeWindowing); }
};

TEST_F(CallbacksTest, FirstFpsTimerSetsNoTitleButStartsTheCycle) {
    frameCount = 7;
    fpsTimer(0);
    EXPECT_EQ(fakeWindowing.title, "");
    EXPECT_EQ(frameCount, 0);
    EXPECT_EQ(fakeWindowing.timerMs, 250u);
    EXPECT_EQ(fakeWindowing.timerValue, 1);
}

TEST_F(CallbacksTest, LaterFpsTimerShowsFramesTimesFourAndSize) {
    frameCount = 10;
    runContext.screenWidth = 640;
    runContext.screenHeight = 480;
    fpsTimer(1);
    EXPECT_EQ(fakeWindowing.title, "Demo: 40 Frames Per Second @ 640 x 480");
    EXPECT_EQ(frameCount, 0);
    EXPECT_EQ(fakeWindowing.timerValue, 1);
}

TEST_F(CallbacksTest, ReshapeStoresSizeAndActivatesCurrentScene) {
    currentScene = 3;
    reshape(800, 600);
    EXPECT_EQ(runContext.screenWidth, 800);
    EXPECT_EQ(runContext.screenHeight, 600);
    EXPECT_EQ(callLog, std::vector<std::string>({"activate 3"}));
    // An empty slot is simply not activated.
    currentScene = 9;
    callLog.clear();
    reshape(100, 0);
    EXPECT_TRUE(callLog.empty());
    EXPECT_EQ(runContext.screenHeight, 0);
}

TEST(Reshape, ZeroHeightUsesAspectOne) {
    EXPECT_DOUBLE_EQ(reshapeAspect(1024, 768), 1024.0 / 768.0);
    EXPECT_DOUBLE_EQ(reshapeAspect(1024, 0), 1.0);
}

TEST_F(CallbacksTest, DisplayCountsRendersSwapsAndAsksForTheNextFrame) {
    fakeMusic.setSeconds(3.0);
    display();
    EXPECT_EQ(frameCount, 1);
    EXPECT_EQ(callLog, std::vector<std::string>({"render 1", "swap", "postRedisplay"}));
    idle();
    EXPECT_EQ(callLog.back(), "postRedisplay");
}

TEST_F(CallbacksTest, EndOfTrackLeavesGameModeThenFreesAudio) {
    shutDownShow();
    EXPECT_EQ(callLog, std::vector<std::string>({"leaveGameMode", "audio free"}));
}

TEST_F(CallbacksTest, EndOfTrackExitsWithStatusZero) {
    fakeMusic.pos = fakeMusic.len;
    EXPECT_EXIT(display(), ::testing::ExitedWithCode(0), "");
}

} // namespace
