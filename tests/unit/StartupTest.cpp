#include "shell/Startup.h"

#include <gtest/gtest.h>

#include "shell/ShellState.h"
#include "support/ShellFakes.h"

namespace {

class StartupTest : public ::testing::Test {
  protected:
    FakeMusic fakeMusic;
    FakeWindowing fakeWindowing;
    int argc = 1;
    char arg0[5] = "demo";
    char* argv[2] = {arg0, nullptr};
    void SetUp() override { resetShellForTest(fakeMusic, fakeWindowing); }
};

const char* kWindowSteps[] = {"init",
                              "setOption",
                              "initWindowSize 1024x768",
                              "initDisplayMode 146",
                              "createWindow Demo",
                              "gameModeString 1024x768:32@60",
                              "gameModeGet"};

TEST_F(StartupTest, GameModeReplacesTheWindowAndHidesTheCursor) {
    fakeWindowing.gameModePossible = 1;
    fakeWindowing.createWindowResult = 7;
    testing::internal::CaptureStdout();
    initWindow(fakeWindowing, &argc, argv, Options());
    std::string out = testing::internal::GetCapturedStdout();
    std::vector<std::string> expected(std::begin(kWindowSteps), std::end(kWindowSteps));
    expected.insert(expected.end(),
                    {"destroyWindow 7", "enterGameMode", "setCursor 101", "registerCallbacks"});
    EXPECT_EQ(callLog, expected);
    EXPECT_EQ(out, "GameMode 1024x768:32@60 is possible\n");
    EXPECT_EQ(windowId, 7);
}

TEST_F(StartupTest, WithoutGameModeTheWindowStays) {
    testing::internal::CaptureStdout();
    initWindow(fakeWindowing, &argc, argv, Options());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    std::vector<std::string> expected(std::begin(kWindowSteps), std::end(kWindowSteps));
    expected.push_back("registerCallbacks");
    EXPECT_EQ(callLog, expected);
}

TEST_F(StartupTest, WindowedOptionNeverAsksForGameMode) {
    fakeWindowing.gameModePossible = 1;
    Options options;
    options.windowed = true;
    initWindow(fakeWindowing, &argc, argv, options);
    for (const std::string& call : callLog) {
        EXPECT_EQ(call.find("gameMode"), std::string::npos) << call;
        EXPECT_NE(call, "enterGameMode");
    }
}

TEST_F(StartupTest, SizeOpensAWindowOfThatSizeWithoutGameMode) {
    fakeWindowing.gameModePossible = 1;
    Options options;
    options.sizeGiven = true;
    options.width = 320;
    options.height = 240;
    initWindow(fakeWindowing, &argc, argv, options);
    std::vector<std::string> expected(std::begin(kWindowSteps), std::end(kWindowSteps) - 2);
    expected[2] = "initWindowSize 320x240";
    expected.push_back("registerCallbacks");
    EXPECT_EQ(callLog, expected);
    EXPECT_EQ(runContext.screenWidth, 320);
    EXPECT_EQ(runContext.screenHeight, 240);
}

TEST_F(StartupTest, NoWindowEndsWithStatusOne) {
    fakeWindowing.createWindowResult = 0;
    EXPECT_EXIT(initWindow(fakeWindowing, &argc, argv, Options()), ::testing::ExitedWithCode(1),
                "ERROR: Could not create a new rendering window.\n");
}

} // namespace
