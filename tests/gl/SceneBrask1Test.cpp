// The model scene on the fixed-function pipeline: the generated show model, and
// small 3D Studio files written at test time for exact positions and fallbacks.
#include "scenes/effects/SceneBrask1.h"

#include "core/Studio3dsFile.h"
#include "scene/HeadlessContext.h"
#include "scene/RunContext.h"
#include "support/BitmapFiles.h"
#include "support/GlTest.h"
#include "support/LiveGlObjects.h"
#include "support/ScratchDataDir.h"
#include "support/Studio3dsFixtures.h"
#include "support/TestPaths.h"

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>

namespace {

using Rgb = std::vector<int>;

// What the shell's start-up leaves for every scene, on a window of the given size.
class ModelScene : public ::testing::Test {
  protected:
    void open(int width, int height) {
        ASSERT_TRUE(context.create(width, height));
        run.screenWidth = width;
        run.screenHeight = height;
        glViewport(0, 0, width, height);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glClearColor(0, 0, 0, 0);
    }
    // One frame as the frame loop draws it, on a magenta clear so that anything the
    // scene leaves undrawn shows.
    std::vector<unsigned char> frame(SceneBrask1& scene, float time) {
        glClearColor(1, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0, 0, 0, 0);
        glLoadIdentity();
        scene.render(time, 0.0f);
        return readFrame(run.screenWidth, run.screenHeight);
    }
    Rgb at(const std::vector<unsigned char>& picture, int x, int y) {
        Rgb p = pixelAt(picture, run.screenWidth, x, y);
        p.resize(3);
        return p;
    }
    HeadlessContext context;
    RunContext run; // the scenes' window size, load times and data paths
};

const Rgb kRed = {255, 0, 0}, kWhite = {255, 255, 255}, kBlack = {0, 0, 0}, kCleared = {255, 0, 255};

// One-colour bitmaps and a 2 x 2 square mesh facing -y, for the small files.
void writeRedBitmap() {
    runCommand("mkdir -p textures");
    BitmapFields red;
    red.width = red.height = 2;
    red.pixels = bgrRows(2, 2, [](int, int) { return std::string("\0\0\xff", 3); });
    ASSERT_TRUE(writeFile("textures/red.bmp", bitmapFile(red)));
}

void square(Studio3dsFixture& f, const std::string& name, const std::string& material) {
    f.mesh(name, {{-1, 0, -1}, {1, 0, -1}, {1, 0, 1}, {-1, 0, 1}}, {{0, 1, 2}, {0, 2, 3}}, material,
           {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
}

// Seen from (0, -10, 0) with a field of view of 90 (45 degrees vertically), on a
// 64-pixel square window: the column or row of a point of the plane y = 0.
constexpr int kSmall = 64;
int pixelOf(float x) {
    return int((x / (10 * std::tan(22.5 * M_PI / 180)) + 1) / 2 * kSmall);
}

TEST_F(ModelScene, ShowsTheGeneratedModelAnimatedAndReloadsItsTexturesWithoutLeaking) {
    open(320, 240);
    ScratchDataDir data("brask_scene");
    ASSERT_EQ(runCommand("ln -s '" DEMO_BINARY_DIR "/data/models/test5.3DS' models/test5.3DS"), 0);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    SceneBrask1 scene(run);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "SceneBrask1 init\n");
    testing::internal::CaptureStdout();
    scene.activate();
    std::string lines = testing::internal::GetCapturedStdout();
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(program, 0);
    EXPECT_NE(scene.programName(), 0u);

    // A line per material, and one per texture with the material's number.
    const Studio3dsFile* model = scene.modelFile();
    ASSERT_TRUE(model);
    ASSERT_GE(model->materialCount(), 4);
    for (int i = 0; i < model->materialCount(); ++i) {
        const Studio3dsMaterial& m = model->materials()[i];
        ASSERT_FALSE(m.textureMap.empty()) << m.name;
        EXPECT_NE(lines.find(m.name + " "), std::string::npos) << lines;
        EXPECT_NE(lines.find("textures\\" + m.textureMap + " " + std::to_string(i) + "\n"), std::string::npos)
            << lines;
        glBindTexture(GL_TEXTURE_2D, scene.materialTexture(i));
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_GT(width, 0) << "the bitmap of " << m.name << " was loaded";
    }

    auto first = frame(scene, 0.0f);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    auto later = frame(scene, 3.0f);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    data.savePicture("brask_0s", first, 320, 240);
    data.savePicture("brask_3s", later, 320, 240);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "every bitmap, camera node and light found";
    std::set<int> colours;
    int magenta = 0;
    for (size_t i = 0; i < first.size(); i += 4) {
        colours.insert(first[i] << 16 | first[i + 1] << 8 | first[i + 2]);
        magenta += first[i] == 255 && first[i + 1] == 0 && first[i + 2] == 255;
    }
    EXPECT_GT(colours.size(), 500u) << "textured surfaces, not flat fills";
    EXPECT_LT(magenta, 320 * 240 / 2) << "the model fills most of the window";
    EXPECT_NE(first, later) << "the model moves with the music time";
    EXPECT_EQ(frame(scene, 3.0f), later) << "the same music time gives the same picture";

    // A second activation loads the textures anew and releases the ones they replace.
    LiveGlObjects before = LiveGlObjects::count();
    GLuint replaced = scene.materialTexture(0);
    testing::internal::CaptureStdout();
    scene.activate();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), lines);
    EXPECT_EQ(LiveGlObjects::count(), before);
    EXPECT_NE(scene.materialTexture(0), replaced);
    EXPECT_FALSE(glIsTexture(replaced));
    EXPECT_EQ(frame(scene, 3.0f), later);

    // To look at the whole loop of the animation: BRASK_LOOK=1 writes a frame a second.
    if (getenv("BRASK_LOOK"))
        for (int second = 0; second < 15; ++second)
            data.savePicture("brask_look_" + std::to_string(second), frame(scene, float(second)), 320, 240);
}

// Two instances of a textured square placed by their nodes, and an untextured
// square (faces without a material) above the middle: each lands where its node
// puts it, in its own colour.
TEST_F(ModelScene, DrawsEveryInstanceWhereItsNodePutsItWithItsMaterialsTexture) {
    open(kSmall, kSmall);
    ScratchDataDir data("brask_scene_nodes", false);
    writeRedBitmap();
    Studio3dsFixture f;
    f.material("a_red", "red.bmp");
    square(f, "plain", "");
    square(f, "tile", "a_red");
    f.meshNode("plain", {0, 0, 3});
    f.meshNode("tile", {3, 0, 0});
    f.meshNode("tile", {-3, 0, 0});
    f.camera("cam", {0, -10, 0}, {0, 0, 0}, 90);
    ASSERT_TRUE(f.save("models/test5.3DS"));
    testing::internal::CaptureStdout();
    SceneBrask1 scene(run);
    scene.activate();
    testing::internal::GetCapturedStdout();

    auto picture = frame(scene, 0.0f);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    data.savePicture("nodes", picture, kSmall, kSmall);
    EXPECT_EQ(at(picture, pixelOf(3), pixelOf(0)), kRed);
    EXPECT_EQ(at(picture, pixelOf(-3), pixelOf(0)), kRed);
    EXPECT_EQ(at(picture, pixelOf(0), pixelOf(3)), kWhite) << "z is up; no texture without a material";
    EXPECT_EQ(at(picture, pixelOf(0), pixelOf(0)), kCleared);
    EXPECT_EQ(at(picture, pixelOf(0), pixelOf(-3)), kCleared);
}

// A model whose objects were grouped: no mesh at the top level. Each mesh is drawn
// where its groups put it at the frame shown, the inner group's through the outer.
TEST_F(ModelScene, DrawsTheMeshesInsideGroupsWhereTheirGroupsPutThem) {
    open(kSmall, kSmall);
    ScratchDataDir data("brask_scene_groups", false);
    writeRedBitmap();
    Studio3dsFixture f;
    f.material("a_red", "red.bmp");
    square(f, "plain", "");
    square(f, "tile", "a_red");
    int outer = f.dummyNode("outer", {3, 0, 0});
    f.meshNode("tile", {0, 0, 0}, outer);
    int inner = f.dummyNode("inner", {-6, 0, 0}, outer);
    int plain = f.meshNode("plain", {0, 0, 3}, inner);
    f.positionKey(plain, 10, {0, 0, -3}); // at z = 0 in frame 5, the frame of music time 0
    f.camera("cam", {0, -10, 0}, {0, 0, 0}, 90);
    ASSERT_TRUE(f.save("models/test5.3DS"));
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    SceneBrask1 scene(run);
    scene.activate();
    auto picture = frame(scene, 0.0f);
    frame(scene, 0.5f);
    testing::internal::GetCapturedStdout();
    std::string errors = testing::internal::GetCapturedStderr();
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    data.savePicture("groups", picture, kSmall, kSmall);
    EXPECT_EQ(errors, "ERROR: models\\test5.3DS: meshes found only inside groups; drawing the whole tree\n");
    EXPECT_EQ(at(picture, pixelOf(3), pixelOf(0)), kRed);
    EXPECT_EQ(at(picture, pixelOf(-3), pixelOf(0)), kWhite);
    EXPECT_EQ(at(picture, pixelOf(-3), pixelOf(3)), kCleared) << "moved away by its key";
    EXPECT_EQ(at(picture, pixelOf(0), pixelOf(0)), kCleared);
}

TEST_F(ModelScene, WithoutItsModelTheSceneIsBlackAfterOneErrorLine) {
    open(kSmall, kSmall);
    ScratchDataDir data("brask_scene_missing");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    SceneBrask1 scene(run);
    scene.activate();
    auto picture = frame(scene, 1.0f);
    frame(scene, 2.0f);
    std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "SceneBrask1 init\n");
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(errors.rfind("ERROR: Could not open 3D Studio file models\\test5.3DS", 0), 0u) << errors;
    EXPECT_EQ(errors.find('\n'), errors.size() - 1) << errors;
    for (size_t i = 0; i < picture.size(); i += 4)
        ASSERT_EQ(Rgb(picture.begin() + i, picture.begin() + i + 3), kBlack) << "pixel " << i / 4;
}

// A camera whose nodes are missing is taken from its record; a file without a
// camera is seen whole from outside. Either way one note, however many frames.
TEST_F(ModelScene, CameraFallbacksShowTheModelAfterOneNote) {
    open(kSmall, kSmall);
    ScratchDataDir data("brask_scene_cameras", false);
    writeRedBitmap();
    for (bool record : {true, false}) {
        Studio3dsFixture f;
        f.material("a_red", "red.bmp");
        square(f, "tile", "a_red");
        f.meshNode("tile", {3, 0, 0});
        if (record)
            f.camera("cam", {0, -10, 0}, {0, 0, 0}, 90, 0, false);
        ASSERT_TRUE(f.save("models/test5.3DS"));
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        SceneBrask1 scene(run);
        scene.activate();
        auto picture = frame(scene, 0.0f);
        frame(scene, 0.5f);
        std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "")
            << "a fallback that works is a note, not an error";
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        data.savePicture(record ? "camera_record" : "no_camera", picture, kSmall, kSmall);
        const std::string note = record ? "camera cam has no camera or target node" : "no camera; showing";
        const size_t said = output.find(note);
        EXPECT_NE(said, std::string::npos) << output;
        EXPECT_EQ(output.find(note, said + 1), std::string::npos) << "said more than once: " << output;
        if (record) {
            EXPECT_EQ(at(picture, pixelOf(3), pixelOf(0)), kRed);
            EXPECT_EQ(at(picture, pixelOf(0), pixelOf(0)), kCleared);
        } else {
            // The square alone, in the middle, from the front and above: red in the
            // middle, nothing round it.
            EXPECT_EQ(at(picture, kSmall / 2, kSmall / 2), kRed);
            for (int corner : {2, kSmall - 3})
                EXPECT_EQ(at(picture, corner, corner), kCleared);
        }
    }
}

// A shininess beyond what GL accepts and more omni lights than GL has are asked of
// every model scene: neither may raise a GL error, and the lights GL has are set.
TEST_F(ModelScene, ShininessAndLightsPastGlLimitsRaiseNoGlError) {
    open(kSmall, kSmall);
    ScratchDataDir data("brask_scene_lights", false);
    GLint maxLights = 0;
    glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
    Studio3dsFixture f;
    square(f, "tile", "");
    f.meshNode("tile");
    f.camera("cam", {0, -10, 0}, {0, 0, 0}, 90);
    for (int i = 0; i < maxLights + 2; ++i) {
        char name[16];
        snprintf(name, sizeof name, "l%02d", i);
        f.omniLight(name, {float(i), 0, 5}, {0.5f, i / 100.0f, 1});
    }
    ASSERT_TRUE(f.save("models/test5.3DS"));
    glGetError();
    testing::internal::CaptureStdout();
    SceneBrask1 scene(run);
    scene.activate();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "activate";
    frame(scene, 0.0f);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "render";
    GLfloat diffuse[4] = {}, shininess = -1;
    glGetLightfv(GL_LIGHT0 + maxLights - 1, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[1], (maxLights - 1) / 100.0f) << "the last light GL has is the light of its node";
    EXPECT_EQ(diffuse[3], 1.0f);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_EQ(shininess, 0.0f) << "the exponent GL had";
}

} // namespace
