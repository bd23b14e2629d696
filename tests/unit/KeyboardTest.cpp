#include <gtest/gtest.h>

#include "core/MusicTime.h"
#include "shell/Callbacks.h"
#include "shell/FrameStep.h"
#include "shell/LiveEditing.h"
#include "shell/SceneFiles.h"
#include "shell/ShellState.h"
#include "support/ScratchDataDir.h"
#include "support/ShellFakes.h"
#include "support/TestPaths.h"

#include <chrono>
#include <thread>

namespace {

class KeyboardTest : public ::testing::Test {
  protected:
    FakeMusic fakeMusic;
    FakeWindowing fakeWindowing;
    void SetUp() override { resetShellForTest(fakeMusic, fakeWindowing); }
    std::string press(unsigned char key) {
        testing::internal::CaptureStdout();
        keyboard(key, 3, 4);
        return testing::internal::GetCapturedStdout();
    }
};

TEST_F(KeyboardTest, EveryKeyIsEchoedAndUnknownKeysDoNothingElse) {
    EXPECT_EQ(press('F'), "70 3 4\n");
    EXPECT_TRUE(callLog.empty());
}

TEST_F(KeyboardTest, BackspaceNearTheStartGoesToZero) {
    fakeMusic.setSeconds(3.0);
    std::string out = press(8);
    EXPECT_EQ(out, "8 3 4\n3.000000 -> 0.000000 \n");
    EXPECT_EQ(fakeMusic.pos, 0u);
    EXPECT_EQ(callLog, std::vector<std::string>({"render 1", "activate 1", "setPosition"}));
}

TEST_F(KeyboardTest, SpaceRendersSceneOneAndJumpsForward) {
    fakeMusic.setSeconds(30.0);
    frameStep(); // scene 2 on screen
    callLog.clear();
    std::string out = press(' ');
    EXPECT_NE(out.find("30.000000 -> 35.000000 \n"), std::string::npos) << out;
    // The scene on screen is activated again after scene 1's render bound its state.
    EXPECT_EQ(callLog, std::vector<std::string>({"render 1", "activate 2", "setPosition"}));
    EXPECT_EQ(currentScene, 2);
    EXPECT_NEAR(fakeMusic.bytesToSeconds(1, fakeMusic.pos), 35.0, 1e-4);
}

TEST_F(KeyboardTest, BackspaceAtBeat200WalksScenesTwoThreeFour) {
    fakeMusic.setSeconds(beatsToSeconds(200.0f));
    for (int i = 0; i < 4; ++i)
        frameStep();
    ASSERT_EQ(currentScene, 4);
    press(8);
    EXPECT_EQ(scenesOverFrames(4), std::vector<int>({2, 3, 4, 4}));
}

TEST_F(KeyboardTest, EnterReloadsAndActivatesTheSceneOnScreen) {
    currentScene = 3;
    sceneStart = 51.0f;
    press(13);
    EXPECT_EQ(callLog, std::vector<std::string>({"init 3", "activate 3"}));
    EXPECT_EQ(sceneStart, 51.0f);
}

// A scene whose init opens a file its constructor did not.
class LateOpeningScene final : public Scene {
  public:
    LateOpeningScene() : Scene(runContext) {}
    void init() override { run.dataPath("models\\late.txt"); }
};

// Under --watch a file that only the Enter key's reload opened is watched from then
// on: an edit of it reloads the scene like any other.
TEST_F(KeyboardTest, EnterWatchesTheFilesItsReloadOpensFirst) {
    ScratchDataDir data("keyboard-watch", false);
    ASSERT_TRUE(writeFile("models/late.txt", "one"));
    LateOpeningScene scene;
    placeScene(3, [&] { return &scene; });
    testing::internal::CaptureStdout();
    startLiveEditing();
    currentScene = 3;
    keyboard(13, 0, 0);
    EXPECT_EQ(sceneFiles(3), std::vector<std::string>{"models/late.txt"});
    ASSERT_TRUE(writeFile("models/late.txt", "two"));
    std::string out;
    for (int i = 0; i < 100 && out.find("Reloaded scene 3") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        pollLiveEditing();
        out += testing::internal::GetCapturedStdout();
        testing::internal::CaptureStdout();
    }
    testing::internal::GetCapturedStdout();
    stopLiveEditing();
    scenes.set(3, nullptr);
    EXPECT_NE(out.find("Reloading scene 3: models/late.txt changed\n"), std::string::npos) << out;
}

TEST_F(KeyboardTest, NumberKeyOnEmptySlotIsHarmlessAndUndoneNextFrame) {
    fakeMusic.setSeconds(5.0);
    frameStep();
    std::string out = press('0');
    EXPECT_NE(out.find("Scene 10\n"), std::string::npos);
    EXPECT_EQ(currentScene, 10);
    callLog.clear();
    frameStep();
    EXPECT_EQ(currentScene, 1);
    EXPECT_EQ(callLog, std::vector<std::string>({"activate 1", "render 1"}));
}

TEST_F(KeyboardTest, FullScreenAndEscapeGoToTheToolkit) {
    press('f');
    press(27);
    EXPECT_EQ(callLog, std::vector<std::string>({"fullScreen", "exitMainLoop"}));
}

} // namespace
