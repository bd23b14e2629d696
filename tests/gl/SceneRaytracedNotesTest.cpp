// The credits scene with the real shaders and the generated credits bitmap.
#include "scenes/effects/SceneRaytracedNotes.h"

#include "scene/HeadlessContext.h"
#include "scene/RunContext.h"
#include "support/GlTest.h"
#include "support/ScratchDataDir.h"

#include <cstdlib>
#include <set>
#include <string>

namespace {

constexpr int kWidth = 320, kHeight = 240;

// Pixels brighter than the lit slab and floor ever get: the glowing letters.
int brightPixels(const std::vector<unsigned char>& rgba) {
    int count = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        count += rgba[i] + rgba[i + 1] + rgba[i + 2] > 3 * 170;
    return count;
}

std::vector<unsigned char> drawn(SceneRaytracedNotes& scene, float time, float sceneTime, int width,
                                 int height) {
    glClearColor(1, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    scene.render(time, sceneTime);
    return readFrame(width, height);
}

class CreditsScene : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.create(kWidth, kHeight));
        glViewport(0, 0, kWidth, kHeight);
        run.screenWidth = kWidth;
        run.screenHeight = kHeight;
    }
    HeadlessContext context;
    RunContext run; // the scenes' window size, load times and data paths
};

TEST_F(CreditsScene, ShowsTheCreditsBitmapMovingWithSceneTimeOnly) {
    ScratchDataDir data("credits_scene");
    testing::internal::CaptureStdout();
    SceneRaytracedNotes scene(run);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Scene Notes init\n");
    glUseProgram(0);
    scene.activate();
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(GLuint(current), scene.programName());

    auto picture = drawn(scene, 500.0f, 6.0f, kWidth, kHeight);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    data.savePicture("credits", picture, kWidth, kHeight);
    std::set<int> colours;
    for (size_t i = 0; i < picture.size(); i += 4)
        colours.insert(picture[i] << 16 | picture[i + 1] << 8 | picture[i + 2]);
    EXPECT_GT(colours.size(), 1000u) << "a lit scene, not a flat fill";
    // The letters cover a few percent of the window, no more than their slab.
    int bright = brightPixels(picture);
    EXPECT_GT(bright, kWidth * kHeight / 100);
    EXPECT_LT(bright, kWidth * kHeight / 4);

    GLint minFilter = 0, magFilter = 0;
    glBindTexture(GL_TEXTURE_2D, scene.textureName());
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(minFilter, GL_NEAREST);
    EXPECT_EQ(magFilter, GL_NEAREST);

    EXPECT_EQ(drawn(scene, 0.0f, 6.0f, kWidth, kHeight), picture) << "the music time must not matter";
    auto later = drawn(scene, 500.0f, 9.0f, kWidth, kHeight);
    data.savePicture("credits_later", later, kWidth, kHeight);
    EXPECT_NE(later, picture) << "the scene moves with the scene time";

    // To look at the credits as the show shows them: CREDITS_FULL_SIZE=1.
    if (getenv("CREDITS_FULL_SIZE")) {
        HeadlessContext big;
        ASSERT_TRUE(big.create(1024, 768));
        run.screenWidth = 1024;
        run.screenHeight = 768;
        glViewport(0, 0, 1024, 768);
        SceneRaytracedNotes full(run);
        full.activate();
        for (float t : {3.0f, 15.0f, 28.0f})
            data.savePicture("credits_1024_" + std::to_string(int(t)), drawn(full, 0, t, 1024, 768), 1024,
                             768);
    }
}

TEST_F(CreditsScene, WithoutTheBitmapTheSlabStaysDarkAndTheShowGoesOn) {
    ScratchDataDir data("credits_scene_without_bitmap", false);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    SceneRaytracedNotes scene(run);
    testing::internal::GetCapturedStdout();
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("ERROR: "), std::string::npos);
    EXPECT_NE(errors.find("credits.bmp"), std::string::npos) << errors;
    scene.activate();
    auto picture = drawn(scene, 0.0f, 6.0f, kWidth, kHeight);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    data.savePicture("credits_without_bitmap", picture, kWidth, kHeight);
    EXPECT_LT(brightPixels(picture), kWidth * kHeight / 1000);

    // The Enter key, once the bitmap is there, brings the letters back.
    ASSERT_EQ(system(("ln -s '" DEMO_BINARY_DIR "/data/textures' '" + data.path() + "/textures'").c_str()),
              0);
    testing::internal::CaptureStdout();
    scene.init();
    testing::internal::GetCapturedStdout();
    scene.activate();
    EXPECT_GT(brightPixels(drawn(scene, 0.0f, 6.0f, kWidth, kHeight)), kWidth * kHeight / 100);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The window's adaptive resolution: traced at half the height off screen and
// stretched, the credits fill the window as they do at full size, only coarser;
// a side as high as the window draws directly, exactly as without it.
TEST_F(CreditsScene, AReducedSideFillsTheWindowWithTheSamePicture) {
    ScratchDataDir data("credits_reduced");
    testing::internal::CaptureStdout();
    SceneRaytracedNotes scene(run);
    testing::internal::GetCapturedStdout();
    scene.activate();
    auto whole = drawn(scene, 0.0f, 6.0f, kWidth, kHeight);
    scene.setTracedSide(kHeight);
    EXPECT_TRUE(drawn(scene, 0.0f, 6.0f, kWidth, kHeight) == whole);
    scene.setTracedSide(kHeight / 2);
    auto half = drawn(scene, 0.0f, 6.0f, kWidth, kHeight);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    data.savePicture("credits_half", half, kWidth, kHeight);
    double difference = 0;
    for (size_t i = 0; i < whole.size(); ++i)
        difference += std::abs(int(whole[i]) - int(half[i]));
    EXPECT_LT(difference / whole.size(), 12.0) << "not the same picture";
    EXPECT_GT(brightPixels(half), brightPixels(whole) / 2) << "the letters are lost";
}

} // namespace
