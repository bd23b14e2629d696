// The show's polygon scenes as the line-up builds them, on the generated data in
// the build's data directory: at two moments of camera movement each draws a
// picture with something in it, and a different picture each time.
#include "scenes/raytracer/SceneRaytracerPolygons.h"

#include "scene/HeadlessContext.h"
#include "scene/ScreenSize.h"
#include "support/PngFile.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 96, kHeight = 72, kRenderWidth = 128;

struct ShowScene {
    const char* file;
    float dofStrength;
    int numReflections;
    int framesPerBeat;
    float beats[2]; // scene beats at which the camera is on the move
};

std::ostream& operator<<(std::ostream& out, const ShowScene& s) {
    return out << s.file;
}

class ShowScenes : public ::testing::TestWithParam<ShowScene> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.create(kWidth, kHeight));
        screenWidth = kWidth;
        screenHeight = kHeight;
        pictureDir = makeScratchDir("show_scenes");
        ASSERT_TRUE(getcwd(previousDir, sizeof previousDir));
        ASSERT_EQ(chdir(DEMO_BINARY_DIR "/data"), 0);
    }
    void TearDown() override { EXPECT_EQ(chdir(previousDir), 0); }

    std::vector<unsigned char> window(const std::string& png) {
        std::vector<unsigned char> rgba(kWidth * kHeight * 4);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<float> asFloat(rgba.begin(), rgba.end());
        for (float& v : asFloat)
            v /= 255;
        writePng(std::string(DEMO_BINARY_DIR) + "/test-scratch/show_" + png + ".png", asFloat, kWidth,
                 kHeight);
        return rgba;
    }

    HeadlessContext context;
    std::string pictureDir; // where the frames are written, for a look after a failure
    char previousDir[4096];
};

TEST_P(ShowScenes, DrawsAMovingPictureWithSomethingInIt) {
    const ShowScene& s = GetParam();
    const std::string name = std::string("models\\") + s.file;
    ASSERT_EQ(access((std::string("models/") + s.file).c_str(), R_OK), 0)
        << "generate the scene_models target";
    SceneRaytracerPolygons scene(name.c_str(), s.dofStrength, kRenderWidth, kRenderWidth, s.numReflections,
                                 s.framesPerBeat);
    scene.activate();
    std::vector<unsigned char> pictures[2];
    for (int i = 0; i < 2; ++i) {
        scene.render(0, s.beats[i] * 60 / 130.0f);
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        pictures[i] = window(std::string(s.file) + "_" + std::to_string(i));
        // Lit and varied: an empty scene, a blank wall or a camera inside an object
        // gives one colour. Loose enough to hold while the bitmaps are missing
        // (textured surfaces then sample black).
        int lit = 0, lo = 255, hi = 0;
        for (size_t p = 0; p < pictures[i].size(); p += 4) {
            int grey = (pictures[i][p] + pictures[i][p + 1] + pictures[i][p + 2]) / 3;
            lit += grey > 12;
            lo = std::min(lo, grey);
            hi = std::max(hi, grey);
        }
        EXPECT_GT(hi - lo, 50) << "beat " << s.beats[i];
        EXPECT_GT(lit, kWidth * kHeight / 100) << "beat " << s.beats[i];
    }
    int changed = 0;
    for (size_t p = 0; p < pictures[0].size(); p += 4)
        changed +=
            std::abs(pictures[0][p] - pictures[1][p]) + std::abs(pictures[0][p + 1] - pictures[1][p + 1]) >
            24;
    EXPECT_GT(changed, kWidth * kHeight / 50) << "the two moments look alike";
}

INSTANTIATE_TEST_SUITE_P(Lineup, ShowScenes,
                         ::testing::Values(ShowScene{"intro.3ds", 2.0f, 4, 16, {20, 40}},
                                           ShowScene{"spheres.3ds", 0.0f, 4, 16, {8, 40}},
                                           ShowScene{"ull1.3ds", 1.0f, 4, 16, {8, 40}},
                                           ShowScene{"test9.3ds", 1.0f, 3, 8, {20, 40}},
                                           ShowScene{"info.3ds", 1.0f, 4, 16, {8, 40}}),
                         [](const ::testing::TestParamInfo<ShowScene>& info) {
                             std::string n = info.param.file;
                             return n.substr(0, n.find('.'));
                         });

} // namespace
