#include "shell/CommandLine.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "core/MusicTime.h"
#include "shell/FrameStep.h"
#include "shell/ShellState.h"
#include "shell/Startup.h"
#include "support/ShellFakes.h"

namespace {

Options parse(std::vector<std::string> args) {
    static std::vector<std::string> keep;
    keep = args;
    keep.insert(keep.begin(), "demo");
    std::vector<char*> argv;
    for (std::string& a : keep)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    return parseCommandLine((int)keep.size(), argv.data());
}

// "N", "CLASS" or "CLASS:ARG" as --scene understood it, or the complaint.
std::string understood(const std::string& value, std::vector<std::string> more = {}) {
    more.insert(more.begin(), {"--scene", value});
    Options o = parse(more);
    if (!o.error.empty())
        return "error: " + o.error;
    if (o.scene.lineUpScene)
        return "show " + std::to_string(o.scene.lineUpScene);
    return std::string(o.scene.libraryClass->name) + "(" + o.scene.argument + ")";
}

TEST(ScenePreview, SceneNumbersClassesAndArguments) {
    EXPECT_FALSE(parse({}).scene.chosen());
    EXPECT_EQ(understood("1"), "show 1");
    EXPECT_EQ(understood("Scene1"), "Scene1()");
    EXPECT_EQ(understood("SceneGLSLTunnel"), "SceneGLSLTunnel()");
    EXPECT_EQ(understood("SceneGLSLTunnel:1"), "SceneGLSLTunnel(1)");
    EXPECT_EQ(understood("SceneGLSLTunnel:-1"), "SceneGLSLTunnel(-1)");
    // Paths keep everything after the first colon, slashes and colons included.
    EXPECT_EQ(understood("SceneRaytracerPolygons:models/a:b.3ds"), "SceneRaytracerPolygons(models/a:b.3ds)");
    Options o = parse({"--scene=SceneM1", "--watch", "--windowed"});
    EXPECT_EQ(o.error, "");
    EXPECT_TRUE(o.watch && o.windowed);
    EXPECT_STREQ(o.scene.libraryClass->name, "SceneM1");
    o = parse({"--capture", "out/", "--scene", "SceneRaytracer", "--size", "64x48"});
    EXPECT_EQ(o.error, "");
    EXPECT_STREQ(o.scene.libraryClass->name, "SceneRaytracer");
}

TEST(ScenePreview, BadChoicesAreExplained) {
    for (const char* number : {"0", "7", "99999999999"})
        EXPECT_EQ(understood(number),
                  std::string("error: --scene takes a scene of the show from 1 to 6; got \"") + number +
                      "\"");
    // An unknown name lists every class, with the argument each takes.
    std::string unknown = understood("scene1");
    EXPECT_EQ(
        unknown.rfind("error: --scene needs 1 to 6 or a scene class (Scene1, SceneGLSLTunnel[:TYPE], ", 0),
        0u)
        << unknown;
    EXPECT_NE(unknown.find(", SceneRaytracerPolygons:FILE"), std::string::npos) << unknown;
    EXPECT_EQ(unknown.substr(unknown.size() - 15), "); got \"scene1\"") << unknown;
    EXPECT_EQ(understood("Scene1:2"), "error: Scene1 takes no argument");
    EXPECT_EQ(understood("SceneGLSLTunnel:round"),
              "error: SceneGLSLTunnel:TYPE needs a whole number; got \"round\"");
    EXPECT_EQ(understood("SceneGLSLTunnel:"), "error: SceneGLSLTunnel:TYPE needs a whole number; got \"\"");
    EXPECT_EQ(understood("SceneRaytracerPolygons:"),
              "error: SceneRaytracerPolygons needs a 3D Studio file: SceneRaytracerPolygons:FILE");
    EXPECT_EQ(understood("1", {"--capture", "o/", "--watch"}),
              "error: --watch needs a window; it does not go with --capture or --bench");
}

class PreviewStartTest : public ::testing::Test {
  protected:
    FakeMusic fakeMusic;
    FakeWindowing fakeWindowing;
    void SetUp() override { resetShellForTest(fakeMusic, fakeWindowing); }
    RecordingScene* shown() { return static_cast<RecordingScene*>(scenes.get(1)); }
    // Schedules `choice` as --scene does (the scene itself is the fake of slot 1),
    // starts the show and renders one frame.
    void startPreview(const std::string& value) {
        SceneChoice choice;
        ASSERT_EQ(parseSceneChoice(value.c_str(), &choice), "");
        schedulePreview(choice);
        startShow();
        frameStep();
    }
};

// A scene of the show plays over its own part of the music, with its scene time
// starting at 0 there as in the show.
TEST_F(PreviewStartTest, ShowSceneStartsAtItsBeat) {
    startPreview("4");
    EXPECT_EQ(timeline.size(), 1);
    EXPECT_NEAR(musicTime, beatsToSeconds(176.0f), 1e-3);
    EXPECT_NEAR(musicTime, 81.2, 0.05);
    EXPECT_NEAR(shown()->lastTime, musicTime, 1e-6);
    EXPECT_NEAR(shown()->lastSceneTime, 0.0f, 1e-3);
    EXPECT_EQ(currentScene, 1);
    fakeMusic.setSeconds(90.0);
    frameStep();
    EXPECT_NEAR(shown()->lastSceneTime, 90.0f - beatsToSeconds(176.0f), 1e-3);
    EXPECT_EQ(currentScene, 1);
}

TEST_F(PreviewStartTest, LibraryClassStartsAtZero) {
    startPreview("SceneM1");
    EXPECT_EQ(musicTime, 0.0f);
    EXPECT_EQ(shown()->lastSceneTime, 0.0f);
    EXPECT_EQ(std::count(callLog.begin(), callLog.end(), "setPosition"), 0);
    startPreview("1"); // the intro starts at the start of the track too
    EXPECT_EQ(musicTime, 0.0f);
}

} // namespace
