// The polygon scene as the show runs it: 3D Studio files written at test time,
// the real shaders, a 64-pixel target and window.
#include "scenes/raytracer/SceneRaytracerPolygons.h"

#include "core/AnimationFrame.h"
#include "core/PrimitiveLayout.h"
#include "scene/HeadlessContext.h"
#include "scene/RunContext.h"
#include "scenes/raytracer/PrimitiveBuffer.h"
#include "shell/ShellState.h"
#include "support/BitmapFiles.h"
#include "support/LiveGlObjects.h"
#include "support/PngFile.h"
#include "support/ScratchDataDir.h"
#include "support/Studio3dsFixtures.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kSize = 64;

struct Rgb {
    int r, g, b;
};

// Each test runs in a scratch data directory (shaders, models, textures) with a
// fresh context whose window is kSize square.
class PolygonScene : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.create(kSize, kSize));
        run.screenWidth = run.screenHeight = kSize;
        data = std::make_unique<ScratchDataDir>(
            std::string("polygon_scene_") + ::testing::UnitTest::GetInstance()->current_test_info()->name(),
            false);
        dir = data->path();
        ASSERT_FALSE(dir.empty());
        runCommand("mkdir -p '" + dir + "/textures'");
        // green | yellow, two pixels wide
        BitmapFields checker;
        checker.width = 2;
        checker.height = 1;
        checker.pixels = bgrRows(2, 1, [](int x, int) {
            return x == 0 ? std::string("\0\xff\0", 3) : std::string("\0\xff\xff", 3);
        });
        ASSERT_TRUE(writeFile("textures/checker.bmp", bitmapFile(checker)));
    }

    std::vector<unsigned char> window(const char* picture) {
        std::vector<unsigned char> rgba(kSize * kSize * 4);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<float> asFloat(rgba.begin(), rgba.end());
        for (float& v : asFloat)
            v /= 255;
        writePng(dir + "/" + picture + ".png", asFloat, kSize, kSize);
        return rgba;
    }
    static Rgb at(const std::vector<unsigned char>& rgba, int column, int row) {
        const unsigned char* p = &rgba[(size_t(row) * kSize + column) * 4];
        return {p[0], p[1], p[2]};
    }

    HeadlessContext context;
    RunContext run;                       // the scenes' window size, load times and data paths
    std::unique_ptr<ScratchDataDir> data; // the working directory while the test runs
    std::string dir;
};

// Looking along +y at the origin from 10 units; where a point of the plane y = 0
// lands, and the scene objects around it.
int columnOf(float x) {
    return int((x / (10 * std::tan(22.5 * M_PI / 180)) + 1) / 2 * kSize);
}

struct CameraSpec {
    Studio3dsFixture::Vec3 position = {0, -10, 0}, target = {0, 0, 0};
    float fov = 45, roll = 0;
};

// Plain materials have no reflection map (lib3ds still reports a percent of 1
// for them, which must not turn them into mirrors).
constexpr float kMatt = -1.0f;

// A red sphere left, a blue box right, a checker-textured square between.
void solidsFile(Studio3dsFixture& f, const CameraSpec& camera = CameraSpec()) {
    f.material("a_red", "", kMatt, {0.9f, 0.1f, 0.1f});
    f.material("b_blue", "", kMatt, {0.1f, 0.1f, 0.9f});
    f.material("c_checker", "checker.bmp", kMatt);
    f.sphere("Sphere01", {-2.5f, 0, 0}, 0.8f, "a_red");
    f.meshNode("Sphere01");
    f.box("PAABox22", {1.7f, -0.8f, -0.8f}, {3.3f, 0.8f, 0.8f}, "b_blue");
    f.meshNode("PAABox22");
    f.mesh("square", {{-1, 0, -1}, {1, 0, -1}, {1, 0, 1}, {-1, 0, 1}}, {{0, 1, 2}, {0, 2, 3}}, "c_checker",
           {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    f.meshNode("square");
    f.camera("cam", camera.position, camera.target, camera.fov, camera.roll);
    f.omniLight("light", {0, -10, 0});
}

bool saveSolids(const std::string& path, const CameraSpec& camera = CameraSpec()) {
    Studio3dsFixture f;
    solidsFile(f, camera);
    return f.save(path);
}

TEST_F(PolygonScene, SphereBoxAndTexturedSquareComeOutWhereAndAsTheyAre) {
    ASSERT_TRUE(saveSolids("models/solids.3ds"));
    SceneRaytracerPolygons scene(run, "models\\solids.3ds", 0.0f, kSize, kSize / 2, 1, 16);
    scene.activate();
    scene.render(0, 0);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    auto picture = window("solids");
    Rgb sphere = at(picture, columnOf(-2.5f), 32), box = at(picture, columnOf(2.5f), 32);
    EXPECT_GT(sphere.r, 128);
    EXPECT_LT(sphere.g, 40);
    EXPECT_GT(box.b, 128);
    EXPECT_LT(box.r, 40);
    Rgb left = at(picture, columnOf(-0.5f), 32), right = at(picture, columnOf(0.5f), 32);
    EXPECT_GT(left.g, 128);
    EXPECT_LT(left.r, 40);
    EXPECT_GT(right.r, 128);
    EXPECT_GT(right.g, 128);
    Rgb gap = at(picture, columnOf(-1.4f), 32);
    EXPECT_EQ(gap.r + gap.g + gap.b, 0);
}

TEST_F(PolygonScene, BufferHoldsTheWrittenRangesAndNothingElse) {
    ASSERT_TRUE(saveSolids("models/solids.3ds"));
    auto staging = std::make_shared<FlattenStaging>();
    SceneRaytracerPolygons scene(run, "models\\solids.3ds", 0.0f, kSize, kSize, 1, 16, staging);
    // Garbage in the shared array where this file writes nothing must not reach
    // the GPU: only written ranges are uploaded.
    float* texels = staging->texels();
    const int untouched = primitive::kVolumeBase + 1000;
    texels[untouched * 4] = 7.0f;
    scene.render(0, 0);
    texels[untouched * 4] = 0.0f;

    const FlattenReport& report = scene.lastFlatten();
    ASSERT_FALSE(report.ranges.empty());
    glBindBuffer(GL_TEXTURE_BUFFER, scene.bufferName());
    for (const TexelRange& range : report.ranges) {
        std::vector<float> gpu(size_t(range.count) * 4);
        glGetBufferSubData(GL_TEXTURE_BUFFER, range.first * 16, range.count * 16, gpu.data());
        for (int i = 0; i < range.count * 4; ++i)
            ASSERT_EQ(gpu[i], texels[size_t(range.first) * 4 + i]) << "texel " << range.first + i / 4;
    }
    float gpu[4];
    glGetBufferSubData(GL_TEXTURE_BUFFER, untouched * 16, 16, gpu);
    EXPECT_EQ(gpu[0], 0.0f);
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
}

// A mirror facing the camera, a red ball behind the camera.
void mirrorFile(Studio3dsFixture& f) {
    f.material("a_mirror", "", 0.9f, {0.3f, 0.3f, 0.3f});
    f.material("b_red", "", kMatt, {1, 0, 0});
    f.mesh("mirror", {{-3, 0, -3}, {3, 0, -3}, {3, 0, 3}, {-3, 0, 3}}, {{0, 1, 2}, {0, 2, 3}}, "a_mirror");
    f.meshNode("mirror");
    f.sphere("Sphere", {0, -13, 0}, 1.5f, "b_red");
    f.meshNode("Sphere");
    f.camera("cam", {0, -10, 0}, {0, 0, 0}, 45);
    f.omniLight("light", {0, -6, 0});
}

TEST_F(PolygonScene, MirrorReflectsWithOneReflectionAndNotWithNone) {
    Studio3dsFixture f;
    mirrorFile(f);
    ASSERT_TRUE(f.save("models/mirror.3ds"));
    SceneRaytracerPolygons one(run, "models\\mirror.3ds", 0.0f, kSize, kSize, 1, 16);
    one.render(0, 0);
    Rgb reflected = at(window("mirror_numrefl1"), 32, 32);
    EXPECT_GT(reflected.r, 100);
    EXPECT_GT(reflected.r, 3 * reflected.g);
    SceneRaytracerPolygons none(run, "models\\mirror.3ds", 0.0f, kSize, kSize, 0, 16);
    none.render(0, 0);
    Rgb plain = at(window("mirror_numrefl0"), 32, 32);
    EXPECT_NEAR(plain.r, plain.g, 2);
}

// The show's scenes flatten through one staging array, each over what another left
// there; each still draws what it draws alone, from its own buffer.
TEST_F(PolygonScene, ScenesSharingOneStagingArrayDrawWhatEachDrawsAlone) {
    ASSERT_TRUE(saveSolids("models/solids.3ds"));
    Studio3dsFixture f;
    mirrorFile(f);
    ASSERT_TRUE(f.save("models/mirror.3ds"));
    auto draw = [&](SceneRaytracerPolygons& scene, const char* picture) {
        scene.activate();
        scene.render(0, 0);
        return window(picture);
    };
    std::vector<unsigned char> solidsAlone, mirrorAlone;
    {
        SceneRaytracerPolygons solids(run, "models\\solids.3ds", 0.0f, kSize, kSize, 1, 16);
        solidsAlone = draw(solids, "solids_alone");
        SceneRaytracerPolygons mirror(run, "models\\mirror.3ds", 0.0f, kSize, kSize, 1, 16);
        mirrorAlone = draw(mirror, "mirror_alone");
    }
    ASSERT_NE(solidsAlone, mirrorAlone);
    auto staging = std::make_shared<FlattenStaging>();
    SceneRaytracerPolygons mirror(run, "models\\mirror.3ds", 0.0f, kSize, kSize, 1, 16, staging);
    SceneRaytracerPolygons solids(run, "models\\solids.3ds", 0.0f, kSize, kSize, 1, 16, staging);
    EXPECT_EQ(draw(mirror, "mirror_shared"), mirrorAlone);
    EXPECT_EQ(draw(solids, "solids_shared"), solidsAlone);
    EXPECT_EQ(draw(mirror, "mirror_again"), mirrorAlone);
}

// Seen from above: a floor, a plate floating over it, a light up to the left.
void plateFile(Studio3dsFixture& f, const char* plateName) {
    f.material("grey", "", kMatt, {0.8f, 0.8f, 0.8f});
    f.mesh("floor", {{-6, -6, -1}, {6, -6, -1}, {6, 6, -1}, {-6, 6, -1}}, {{0, 1, 2}, {0, 2, 3}}, "grey");
    f.meshNode("floor");
    f.mesh(plateName, {{0.5f, -0.5f, 0}, {1.5f, -0.5f, 0}, {1.5f, 0.5f, 0}, {0.5f, 0.5f, 0}},
           {{0, 1, 2}, {0, 2, 3}}, "grey");
    f.meshNode(plateName);
    f.camera("cam", {0, 0, 10}, {0, 0, -1}, 45);
    f.omniLight("light", {-2, 0, 3});
}

TEST_F(PolygonScene, PlateShadowsTheFloorUnlessNamedNoS) {
    auto floorColumn = [](float x) { return int((x / (11 * std::tan(22.5 * M_PI / 180)) + 1) / 2 * kSize); };
    int lit = 0;
    for (const char* plate : {"plate", "plateNoS"}) {
        Studio3dsFixture f;
        plateFile(f, plate);
        ASSERT_TRUE(f.save(std::string("models/") + plate + ".3ds"));
        std::string name = std::string("models\\") + plate + ".3ds";
        SceneRaytracerPolygons scene(run, name.c_str(), 0.0f, kSize, kSize, 0, 16);
        scene.render(0, 0);
        auto picture = window(plate);
        int shadowSpot = at(picture, floorColumn(2.2f), 32).r;
        if (lit == 0) {
            lit = at(picture, floorColumn(-2.2f), 32).r;
            EXPECT_GT(lit, 80);
            EXPECT_LT(shadowSpot, lit * 3 / 10) << "the plate's shadow";
        } else {
            EXPECT_GT(shadowSpot, lit * 6 / 10) << "a NoS mesh casts no shadow";
        }
    }
}

TEST_F(PolygonScene, BlurSizeChoosesBetweenPassThroughAndDepthOfField) {
    ASSERT_TRUE(saveSolids("models/solids.3ds"));
    // Without depth of field: the window shows the target as it is.
    SceneRaytracerPolygons sharp(run, "models\\solids.3ds", 0.0f, kSize, kSize, 1, 16);
    sharp.render(0, 0);
    EXPECT_EQ(sharp.currentBlurSize(), 0.0f);
    GLint program = 0, unit = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    EXPECT_EQ(GLuint(program), sharp.postProgramName());
    EXPECT_EQ(unit, GL_TEXTURE11);
    Rgb edge = at(window("pass"), columnOf(-1.4f), 32);
    EXPECT_EQ(edge.r + edge.g + edge.b, 0);

    // A strong depth of field: blurSize = 45 / 35 / 1024 * 150, about 12 pixels of
    // 64 per tap. The background is far out of focus, so colour bleeds into it.
    SceneRaytracerPolygons blurred(run, "models\\solids.3ds", 150.0f, kSize, kSize, 1, 16);
    blurred.render(0, 0);
    EXPECT_NEAR(blurred.currentBlurSize(), 45.0 / 35.0 / 1024.0 * 150.0, 1e-4);
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    EXPECT_EQ(GLuint(program), blurred.postProgramName());
    EXPECT_EQ(unit, GL_TEXTURE12);
    edge = at(window("dof"), columnOf(-1.4f), 32);
    EXPECT_GT(edge.r + edge.g + edge.b, 20);
}

TEST_F(PolygonScene, CameraWithoutFieldOfViewStaysSharpInTheDepthOfFieldProgram) {
    CameraSpec noFov;
    noFov.target = {0, 30, 0}; // far behind the square
    noFov.fov = 0;
    ASSERT_TRUE(saveSolids("models/nofov.3ds", noFov));
    SceneRaytracerPolygons scene(run, "models\\nofov.3ds", 1.0f, kSize, kSize, 1, 16);
    scene.render(0, 0);
    EXPECT_EQ(scene.currentBlurSize(), 0.0f);
    // Every ray goes straight ahead into the square: out of focus, yet no blurred
    // image exists to mix in.
    Rgb centre = at(window("nofov"), 32, 32);
    EXPECT_GT(centre.g, 100);
}

TEST_F(PolygonScene, EnterReloadTracesTheSceneNotTheResetBufferAndLeaksNothing) {
    ASSERT_TRUE(saveSolids("models/solids.3ds"));
    const LiveGlObjects empty = LiveGlObjects::count();
    {
        SceneRaytracerPolygons scene(run, "models\\solids.3ds", 0.0f, kSize, kSize, 1, 16);
        scene.render(0, 1.0f);
        auto before = window("before_reload");
        const LiveGlObjects live = LiveGlObjects::count();
        testing::internal::CaptureStdout();
        scene.init(); // the Enter key
        std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_NE(printed.find("models\\solids.3ds\n"), std::string::npos);
        EXPECT_NE(printed.find(" faces\n"), std::string::npos);
        EXPECT_NE(printed.find("textures\\checker.bmp--\n"), std::string::npos);
        EXPECT_NE(scene.openFile(), nullptr);
        // Quad, targets and material texture replaced, primitive buffer kept.
        EXPECT_EQ(LiveGlObjects::count(), live);
        scene.activate();
        scene.render(0, 1.0f); // the same frame the scene last evaluated
        EXPECT_EQ(window("after_reload"), before);
        scene.init();
        scene.render(0, 1.0f);
        EXPECT_EQ(LiveGlObjects::count(), live);
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    EXPECT_EQ(LiveGlObjects::count(), empty);
}

// A missing file, a pipe without a writer (which must not block), a device that
// never ends and a directory: one error line each, and a black picture.
TEST_F(PolygonScene, FileThatCannotBeOpenedDrawsBlackAndGoesOn) {
    ASSERT_EQ(mkfifo("models/pipe.3ds", 0600), 0);
    ASSERT_EQ(mkdir("models/folder.3ds", 0700), 0);
    for (const char* name : {"models\\missing.3ds", "models\\pipe.3ds", "/dev/zero", "models\\folder.3ds"}) {
        testing::internal::CaptureStderr();
        SceneRaytracerPolygons scene(run, name, 1.0f, kSize, kSize, 1, 16);
        std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_EQ(errors.rfind("ERROR: Could not open 3D Studio file " + std::string(name) + ": ", 0), 0u)
            << errors;
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        scene.render(0, 0);
        scene.init();
        scene.render(0, 0.5f);
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        auto picture = window("missing");
        for (size_t i = 0; i < picture.size(); i += 4)
            ASSERT_EQ(picture[i] + picture[i + 1] + picture[i + 2], 0) << name;
    }
}

TEST_F(PolygonScene, TexturedMaterialsBeyondNineGetNoUnit) {
    Studio3dsFixture f;
    for (int m = 0; m < 11; ++m)
        f.material("m" + std::to_string(m / 10) + std::to_string(m % 10), "checker.bmp");
    solidsFile(f);
    ASSERT_TRUE(f.save("models/many.3ds"));
    testing::internal::CaptureStdout();
    SceneRaytracerPolygons scene(run, "models\\many.3ds", 0.0f, kSize, kSize, 1, 16);
    std::string printed = testing::internal::GetCapturedStdout();
    int loaded = 0;
    for (size_t at = printed.find("--\n"); at != std::string::npos; at = printed.find("--\n", at + 1))
        ++loaded;
    EXPECT_EQ(loaded, 9);
    for (int unit = 10; unit < 16; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, 0) << "unit " << unit;
    }
    scene.render(0, 0);
    GLint sampler = 0;
    glGetUniformiv(scene.rayProgramName(), glGetUniformLocation(scene.rayProgramName(), "tex[8]"), &sampler);
    EXPECT_EQ(sampler, 9);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Every uniform a program keeps after linking must have been given a value by
// the CPU, through the setter of its type (a wrong setter raises a GL error).
void expectEveryActiveUniformSet(GLuint program, const std::map<std::string, double>& expected,
                                 const std::map<std::string, std::array<float, 4>>& vectors = {}) {
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    ASSERT_GT(count, 0);
    for (GLint i = 0; i < count; ++i) {
        char name[256];
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, i, sizeof name, nullptr, &size, &type, name);
        std::string base(name);
        if (base.size() > 3 && base.compare(base.size() - 3, 3, "[0]") == 0)
            base.resize(base.size() - 3);
        for (int element = 0; element < size; ++element) {
            std::string full = size > 1 ? base + "[" + std::to_string(element) + "]" : base;
            GLint location = glGetUniformLocation(program, full.c_str());
            if (type == GL_FLOAT_VEC4) {
                auto vector = vectors.find(full);
                ASSERT_NE(vector, vectors.end()) << "the CPU never sets " << full;
                std::array<float, 4> value{};
                glGetUniformfv(program, location, value.data());
                EXPECT_EQ(value, vector->second) << full;
                continue;
            }
            auto want = expected.find(full);
            ASSERT_NE(want, expected.end()) << "the CPU never sets " << full;
            if (type == GL_FLOAT) {
                float value = 0;
                glGetUniformfv(program, location, &value);
                EXPECT_NEAR(value, want->second, 1e-4) << full;
            } else {
                EXPECT_TRUE(type == GL_INT || type == GL_SAMPLER_2D || type == GL_SAMPLER_BUFFER) << full;
                GLint value = 0;
                glGetUniformiv(program, location, &value);
                EXPECT_EQ(value, want->second) << full;
            }
        }
    }
}

TEST_F(PolygonScene, EveryActiveUniformIsSetByTheCpuWithItsType) {
    CameraSpec camera;
    camera.position = {1, -9, 2};
    camera.target = {0.5f, 0, 0.25f};
    camera.fov = 40;
    camera.roll = 5;
    ASSERT_TRUE(saveSolids("models/solids.3ds", camera));
    run.screenHeight = kSize / 2;
    auto staging = std::make_shared<FlattenStaging>();
    SceneRaytracerPolygons scene(run, "models\\solids.3ds", 1.0f, kSize, kSize, 3, 16, staging);
    scene.activate();
    scene.render(2.0f, 0);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    // The runs of mesh entries of the frame just flattened, every element of both
    // arrays (those past the count zero).
    const float* texels = staging->texels();
    const MeshRunUniforms runs = meshRunUniformsOf(texels);
    ASSERT_GT(runs.count, 0);
    std::map<std::string, std::array<float, 4>> corners;
    for (int r = 0; r < kMaxMeshRuns; ++r)
        for (int corner = 0; corner < 2; ++corner) {
            const float* v = (corner ? runs.max : runs.min) + 4 * r;
            corners[(corner ? "runMax[" : "runMin[") + std::to_string(r) + "]"] = {v[0], v[1], v[2], v[3]};
        }
    std::map<std::string, double> ray = {{"tboSampler", 15},
                                         {"numrefl", 3},
                                         {"camx", 1},
                                         {"camy", -9},
                                         {"camz", 2},
                                         {"camtx", 0.5},
                                         {"camty", 0},
                                         {"camtz", 0.25},
                                         {"camroll", 5},
                                         {"fov", 40},
                                         {"ScreenWidth", kSize},
                                         {"ScreenHeight", kSize / 2},
                                         {"time", 2},
                                         {"meshRuns", runs.count}};
    ray["tex[0]"] = 1; // the one textured material
    for (int k = 1; k < 9; ++k)
        ray["tex[" + std::to_string(k) + "]"] = 2;
    expectEveryActiveUniformSet(scene.rayProgramName(), ray, corners);
    double blurSize = 40.0 / 35.0 / 1024.0;
    expectEveryActiveUniformSet(scene.blurProgramName(false),
                                {{"RTScene", 0}, {"blurSize", blurSize}, {"tracedShare", 1}});
    expectEveryActiveUniformSet(scene.blurProgramName(true),
                                {{"RTScene", 10}, {"blurSize", blurSize}, {"tracedShare", 1}});
    double focus = std::sqrt(0.25 + 81 + 1.75 * 1.75);
    expectEveryActiveUniformSet(
        scene.postProgramName(),
        {{"tex0", 11}, {"tex1", 12}, {"focus", focus}, {"focal", focus / 2}, {"tracedShare", 1}});

    SceneRaytracerPolygons pass(run, "models\\solids.3ds", 0.0f, kSize, kSize, 3, 16);
    pass.render(2.0f, 0);
    expectEveryActiveUniformSet(pass.postProgramName(), {{"tex0", 11}, {"tracedShare", 1}});
}

// The window's adaptive resolution: tracing half the side fills the whole window
// with the same picture, only coarser, through the blur and depth-of-field passes
// too; asking for the whole side (or more) changes nothing at all.
TEST_F(PolygonScene, ATracedPartFillsTheWindowWithTheSamePicture) {
    ASSERT_TRUE(saveSolids("models/solids.3ds"));
    for (float dof : {0.0f, 20.0f}) {
        SCOPED_TRACE(dof);
        SceneRaytracerPolygons scene(run, "models\\solids.3ds", dof, kSize, kSize, 1, 16);
        scene.render(0, 0);
        const auto whole = window("whole");
        scene.setTracedSide(4 * kSize);
        scene.render(0, 0);
        EXPECT_TRUE(window("clamped") == whole);
        scene.setTracedSide(kSize / 2);
        scene.render(0, 0);
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        const auto half = window(dof == 0 ? "half" : "half_dof");
        double difference = 0;
        for (size_t i = 0; i < whole.size(); ++i)
            difference += std::abs(int(whole[i]) - int(half[i]));
        EXPECT_LT(difference / whole.size(), 10.0) << "not the same picture";
        Rgb sphere = at(half, columnOf(-2.5f), 32), box = at(half, columnOf(2.5f), 32);
        EXPECT_GT(sphere.r, 100);
        EXPECT_GT(box.b, 100);
    }
}

// The window pass draws over whatever the window holds: the frame clears it once
// at its start, and a depth left nearer than the pass's quad (another scene's, or no
// clear at all) must not hide the picture, in the show's depth-tested state.
TEST_F(PolygonScene, WindowPassCoversWhateverDepthTheWindowHolds) {
    ASSERT_TRUE(saveSolids("models/solids.3ds"));
    SceneRaytracerPolygons scene(run, "models\\solids.3ds", 20.0f, kSize, kSize, 1, 16);
    scene.render(0, 0);
    const auto cleared = window("cleared");
    glEnable(GL_DEPTH_TEST);
    glClearDepth(0.0);
    glClearColor(1, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    scene.render(0, 0);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << "the pass leaves the depth test as it found it";
    glDisable(GL_DEPTH_TEST);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_TRUE(window("over_near_depth") == cleared);
}

} // namespace
