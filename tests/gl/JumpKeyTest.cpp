// The space key through the real frame step and keyboard handler, with real
// scenes: scene 1's render for the jump must leave no trace in the next frame of
// the scene on screen.
#include "scene/HeadlessContext.h"
#include "scenes/effects/SceneRaytracedNotes.h"
#include "scenes/raytracer/SceneRaytracerPolygons.h"
#include "shell/Callbacks.h"
#include "shell/FrameStep.h"
#include "shell/ShellState.h"
#include "support/GlTest.h"
#include "support/ScratchDataDir.h"
#include "support/ShellFakes.h"
#include "support/Studio3dsFixtures.h"

#include <memory>

namespace {

constexpr int kSize = 64;
constexpr double kCreditsSeconds = 115.0;   // beat ~249: scene 5
constexpr double kLastSceneSeconds = 145.0; // beat ~314: scene 6

// A red box sliding across a grey floor over 100 frames, seen from above.
bool saveSlidingBox(const std::string& path) {
    Studio3dsFixture f;
    f.setFrames(100);
    f.material("a_red", "", -1.0f, {0.9f, 0.1f, 0.1f});
    f.material("b_grey", "", -1.0f, {0.5f, 0.5f, 0.5f});
    f.box("box", {-0.5f, -0.5f, 0}, {0.5f, 0.5f, 1}, "a_red");
    int box = f.meshNode("box", {-3, 0, 0});
    f.positionKey(box, 99, {3, 0, 0});
    f.mesh("floor", {{-5, -5, 0}, {5, -5, 0}, {5, 5, 0}, {-5, 5, 0}}, {{0, 1, 2}, {0, 2, 3}}, "b_grey");
    f.meshNode("floor");
    f.camera("cam", {0, -0.01f, 12}, {0, 0, 0}, 60);
    f.omniLight("light", {0, 0, 10});
    return f.save(path);
}

class JumpKey : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.create(kSize, kSize));
        data.reset(new ScratchDataDir("jump_key"));
        ASSERT_TRUE(saveSlidingBox("models/slide.3ds"));
        resetShellForTest(fakeMusic, fakeWindowing);
        runContext.screenWidth = runContext.screenHeight = kSize;
        glViewport(0, 0, kSize, kSize);
        testing::internal::CaptureStdout();
        first.reset(new SceneRaytracerPolygons(runContext, "models\\slide.3ds", 0.0f, kSize, kSize, 1, 16));
        credits.reset(new SceneRaytracedNotes(runContext));
        last.reset(new SceneRaytracerPolygons(runContext, "models\\slide.3ds", 0.0f, kSize, kSize, 1, 16));
        scenes.set(1, first.get());
        scenes.set(5, credits.get());
        scenes.set(6, last.get());
        scenes.activate(1);
    }
    void TearDown() override {
        testing::internal::GetCapturedStdout();
        for (int n = 1; n <= SceneTable::kSlots; ++n)
            scenes.set(n, nullptr);
    }

    // One frame as the display callback draws it.
    std::vector<unsigned char> frame() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        EXPECT_EQ(frameStep(), FrameOutcome::Rendered);
        return readFrame(kSize, kSize);
    }
    // Plays the music from `seconds`, letting the timeline walk to its scene.
    void playFrom(double seconds) {
        fakeMusic.setSeconds(seconds);
        for (int i = 0; i < 8; ++i)
            frame();
    }
    // The frame after pressing space at `seconds` equals the one drawn at
    // `seconds` + 5 without the jump.
    void expectJumpLeavesNoTrace(double seconds, int scene, const char* name) {
        playFrom(seconds + 5.0);
        ASSERT_EQ(currentScene, scene);
        auto unjumped = frame();
        fakeMusic.setSeconds(seconds);
        frame();
        keyboard(' ', 0, 0);
        EXPECT_NEAR(fakeMusic.bytesToSeconds(1, fakeMusic.pos), seconds + 5.0, 1e-3);
        auto jumped = frame();
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        EXPECT_EQ(currentScene, scene);
        data->savePicture(std::string(name) + "_unjumped", unjumped, kSize, kSize);
        data->savePicture(std::string(name) + "_jumped", jumped, kSize, kSize);
        EXPECT_TRUE(jumped == unjumped) << "see " << data->path();
    }

    HeadlessContext context;
    std::unique_ptr<ScratchDataDir> data;
    FakeMusic fakeMusic;
    FakeWindowing fakeWindowing;
    std::unique_ptr<SceneRaytracerPolygons> first, last;
    std::unique_ptr<SceneRaytracedNotes> credits;
};

TEST_F(JumpKey, CreditsDrawThroughTheirOwnProgramAfterAJump) {
    expectJumpLeavesNoTrace(kCreditsSeconds, 5, "credits");
}

TEST_F(JumpKey, PolygonSceneOnScreenShowsItsNewPoseAfterAJump) {
    // Scene 1 evaluates, for the jump, the very frame scene 6 draws next.
    expectJumpLeavesNoTrace(kLastSceneSeconds, 6, "polygons");
}

} // namespace
