// The show's polygon scenes as the line-up builds them, on the generated data in
// the build's data directory: at two moments of camera movement each draws a
// picture with something in it, and a different picture each time; and the
// line-up gives each scene the arguments of the show's table.
#include "scenes/raytracer/SceneRaytracerPolygons.h"

#include "scenes/effects/SceneRaytracedNotes.h"
#include "shell/LineUp.h"

#include "scene/HeadlessContext.h"
#include "shell/ShellState.h"
#include "support/PngFile.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 96, kHeight = 72, kRenderWidth = 128;

struct ShowScene {
    int scene;
    float startBeat;
    const char* file;
    float dofStrength;
    int numReflections;
    int framesPerBeat;
    float beats[2]; // scene beats at which the camera is on the move
};

std::ostream& operator<<(std::ostream& out, const ShowScene& s) {
    return out << s.file;
}

// The show's polygon scenes; scene 5, the credits, starts at beat 240.
const ShowScene kShowTable[] = {{1, 0, "intro.3ds", 2.0f, 4, 16, {20, 40}},
                                {2, 48, "spheres.3ds", 0.0f, 4, 16, {8, 40}},
                                {3, 112, "ull1.3ds", 1.0f, 4, 16, {8, 40}},
                                {4, 176, "test9.3ds", 1.0f, 3, 8, {20, 40}},
                                {6, 304, "info.3ds", 1.0f, 4, 16, {8, 40}}};

class ShowData : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.create(kWidth, kHeight));
        runContext.screenWidth = kWidth;
        runContext.screenHeight = kHeight;
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

class ShowScenes : public ShowData, public ::testing::WithParamInterface<ShowScene> {};

TEST_F(ShowData, LineUpBuildsEachSceneWithTheArgumentsOfTheTable) {
    auto staging = std::make_shared<FlattenStaging>();
    for (const ShowScene& s : kShowTable) {
        std::unique_ptr<Scene> built(newLineUpScene(s.scene, staging));
        auto* polygons = dynamic_cast<SceneRaytracerPolygons*>(built.get());
        ASSERT_NE(polygons, nullptr) << "scene " << s.scene;
        EXPECT_EQ(polygons->modelFile(), std::string("models\\") + s.file);
        EXPECT_EQ(polygons->depthOfField(), s.dofStrength) << s.file;
        EXPECT_EQ(polygons->reflections(), s.numReflections) << s.file;
        EXPECT_EQ(polygons->animationFramesPerBeat(), s.framesPerBeat) << s.file;
        EXPECT_EQ(polygons->renderSide(), 800) << s.file;
        EXPECT_EQ(lineUpStartBeat(s.scene), s.startBeat) << s.file;
    }
    std::unique_ptr<Scene> credits(newLineUpScene(5, staging));
    EXPECT_NE(dynamic_cast<SceneRaytracedNotes*>(credits.get()), nullptr);
    EXPECT_EQ(lineUpStartBeat(5), 240.0f);
    EXPECT_EQ(newLineUpScene(kLineUpScenes + 1, staging), nullptr);
}

TEST_P(ShowScenes, DrawsAMovingPictureWithSomethingInIt) {
    const ShowScene& s = GetParam();
    const std::string name = std::string("models\\") + s.file;
    ASSERT_EQ(access((std::string("models/") + s.file).c_str(), R_OK), 0)
        << "generate the scene_models target";
    SceneRaytracerPolygons scene(runContext, name.c_str(), s.dofStrength, kRenderWidth, kRenderWidth,
                                 s.numReflections, s.framesPerBeat);
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

INSTANTIATE_TEST_SUITE_P(Lineup, ShowScenes, ::testing::ValuesIn(kShowTable),
                         [](const ::testing::TestParamInfo<ShowScene>& info) {
                             std::string n = info.param.file;
                             return n.substr(0, n.find('.'));
                         });

} // namespace
