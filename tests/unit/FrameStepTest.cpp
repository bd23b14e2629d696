#include "shell/FrameStep.h"

#include <gtest/gtest.h>

#include "core/MusicTime.h"
#include "shell/ShellState.h"
#include "support/ShellFakes.h"

namespace {

class FrameStepTest : public ::testing::Test {
  protected:
    FakeMusic fakeMusic;
    FakeWindowing fakeWindowing;
    void SetUp() override { resetShellForTest(fakeMusic, fakeWindowing); }
    RecordingScene* scene(int n) { return static_cast<RecordingScene*>(scenes.get(n)); }
};

TEST(MusicTime, ConversionsFollowTheTempoAndOffset) {
    EXPECT_FLOAT_EQ(secondsToBeats(0.0f), 0.11f);
    EXPECT_NEAR(beatsToSeconds(48.0f), 22.1030769f, 1e-5);
    EXPECT_NEAR(beatsToSeconds(304.0f), 140.2569231f, 1e-4);
    // Double precision inside, float out: the round trip lands on the same float.
    for (float s : {0.0f, 1.5f, 22.103077f, 169.79539f})
        EXPECT_NEAR(beatsToSeconds(secondsToBeats(s)), s, 2e-5f);
    EXPECT_EQ(sceneStartSeconds(0.0f), 0.0f); // (0 - 0.11) * 60 / 130 is clamped
}

TEST_F(FrameStepTest, EndsWhenPositionIsNotBelowLength) {
    fakeMusic.pos = fakeMusic.len - 4;
    EXPECT_EQ(frameStep(), FrameOutcome::Rendered);
    fakeMusic.pos = fakeMusic.len;
    callLog.clear();
    EXPECT_EQ(frameStep(), FrameOutcome::ShowEnded);
    EXPECT_TRUE(callLog.empty()) << "nothing is rendered once the track has ended";
    fakeMusic.pos = fakeMusic.len + 100;
    EXPECT_EQ(frameStep(), FrameOutcome::ShowEnded);
}

TEST_F(FrameStepTest, FirstFramesStayOnSceneOneWithoutChange) {
    fakeMusic.setSeconds(1.0);
    frameStep();
    EXPECT_EQ(currentScene, 1);
    EXPECT_EQ(sceneStart, 0.0f);
    EXPECT_EQ(callLog, std::vector<std::string>({"render 1"}));
    EXPECT_FLOAT_EQ(musicTime, 1.0f);
    EXPECT_FLOAT_EQ(beat, secondsToBeats(1.0f));
}

TEST_F(FrameStepTest, SceneChangeActivatesBeforeRenderAndStartsSceneTimeAtTheNewStart) {
    fakeMusic.setSeconds(10.0);
    frameStep();
    // The exact second of beat 48 selects scene 2 (equality advances).
    double changeSeconds = beatsToSeconds(48.0f) + 1e-4;
    fakeMusic.setSeconds(changeSeconds);
    callLog.clear();
    testing::internal::CaptureStdout();
    frameStep();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(currentScene, 2);
    EXPECT_EQ(callLog, std::vector<std::string>({"activate 2", "render 2"}));
    EXPECT_FLOAT_EQ(sceneStart, beatsToSeconds(48.0f));
    EXPECT_NE(out.find("Scenestart 2: 22.10307"), std::string::npos) << out;
    EXPECT_NE(out.find("Change scene to 2 on beat 48.0"), std::string::npos) << out;
    // Already on the change frame the scene time counts from scene 2's start, not
    // from scene 1's (which would hand scene 2 some 22 seconds at its first frame).
    EXPECT_FLOAT_EQ(scene(2)->lastSceneTime, musicTime - sceneStart);
    EXPECT_GE(scene(2)->lastSceneTime, 0.0f);
    EXPECT_LT(scene(2)->lastSceneTime, 0.001f);
    EXPECT_FLOAT_EQ(sceneTime, scene(2)->lastSceneTime);
    fakeMusic.setSeconds(changeSeconds + 0.5);
    frameStep();
    EXPECT_NEAR(scene(2)->lastSceneTime, 0.5f, 1e-4);
}

TEST_F(FrameStepTest, BeatJustBelowEntryDoesNotChange) {
    fakeMusic.setSeconds(beatsToSeconds(47.99f));
    frameStep();
    EXPECT_EQ(currentScene, 1);
}

TEST_F(FrameStepTest, KeySelectedSceneIsChangedBackNextFrame) {
    fakeMusic.setSeconds(30.0); // beat ~65: scene 2
    frameStep();
    ASSERT_EQ(currentScene, 2);
    currentScene = 5; // as a number key would
    sceneStart = 30.0f;
    callLog.clear();
    frameStep();
    EXPECT_EQ(currentScene, 2);
    EXPECT_FLOAT_EQ(sceneStart, beatsToSeconds(48.0f));
    EXPECT_EQ(callLog, std::vector<std::string>({"activate 2", "render 2"}));
}

TEST_F(FrameStepTest, ChangeBackToFirstEntryClampsSceneStart) {
    currentScene = 3;
    sceneStart = 12.0f;
    fakeMusic.setSeconds(2.0);
    frameStep();
    EXPECT_EQ(currentScene, 1);
    EXPECT_EQ(sceneStart, 0.0f);
}

TEST_F(FrameStepTest, JumpOverSeveralEntriesWalksOneEntryPerFrame) {
    fakeMusic.setSeconds(beatsToSeconds(200.0f));
    EXPECT_EQ(scenesOverFrames(4), std::vector<int>({2, 3, 4, 4}));
}

TEST_F(FrameStepTest, EmptySlotNeverCrashes) {
    scenes.set(2, nullptr);
    fakeMusic.setSeconds(30.0);
    EXPECT_EQ(frameStep(), FrameOutcome::Rendered);
    EXPECT_EQ(currentScene, 2);
}

} // namespace
