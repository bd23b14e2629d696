// The ray-tracing shader alone, on primitive buffers filled record by record.
#include "scene/HeadlessContext.h"
#include "support/PngFile.h"
#include "support/PrimitiveSceneBuilder.h"
#include "support/RayPassHarness.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

using Vec3 = PrimitiveSceneBuilder::Vec3;

constexpr int kSize = 64;
const char* kVertexShader = DEMO_SOURCE_DIR "/data/shaders/RaytracerPolygonsVert.glsl";
const char* kFragmentShader = DEMO_SOURCE_DIR "/data/shaders/RaytracerPolygonsFrag.glsl";

struct Pixel {
    float r, g, b, a;
};

class RayShader : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        context = new HeadlessContext;
        ASSERT_TRUE(context->create(kSize, kSize));
        pictures = makeScratchDir("ray_shader");
    }
    static void TearDownTestSuite() {
        delete context;
        context = nullptr;
    }

    // Renders `scene` and keeps the picture; the PNG lands in the test's scratch
    // directory for a look.
    void render(PrimitiveSceneBuilder& scene, const RayPassHarness::Camera& camera, int numrefl,
                const char* name, int screenWidth = 1, int screenHeight = 1, const std::string& defines = "",
                int everyRecord = 0) {
        RayPassHarness harness;
        ASSERT_TRUE(harness.load(kVertexShader, kFragmentShader, defines));
        harness.setUp(kSize, scene.finish());
        if (defines.find("CHECK_WALKS") != std::string::npos)
            harness.setUniform("everyRecord", everyRecord);
        harness.draw(camera, numrefl, screenWidth, screenHeight);
        image = harness.pixels();
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        writePng(pictures + "/" + name + ".png", image, kSize, kSize);
    }

    // Column and row counted from the bottom-left corner of the target.
    Pixel at(int column, int row) const {
        const float* p = &image[(size_t(row) * kSize + column) * 4];
        return {p[0], p[1], p[2], p[3]};
    }

    static HeadlessContext* context;
    static std::string pictures;
    std::vector<float> image;
};

HeadlessContext* RayShader::context = nullptr;
std::string RayShader::pictures;

// Looking along +y at the origin from 10 units away; 45 degrees across.
const RayPassHarness::Camera kFront = {{0, -10, 0}, {0, 0, 0}, 0, 45};

// Where a point on the plane y = 0 lands for kFront at aspect 1.
int columnOf(float x) {
    return int((x / (10 * std::tan(22.5 * M_PI / 180)) + 1) / 2 * kSize);
}

TEST_F(RayShader, SolidsAndTexturedTriangleLandWhereTheyStandInTheirColours) {
    PrimitiveSceneBuilder scene;
    int red = scene.material({0.9f, 0.1f, 0.1f});
    int blue = scene.material({0.1f, 0.1f, 0.9f});
    int textured = scene.material({1, 1, 1}, {0, 0, 0}, 0, 0, 0, /*slot*/ 0);
    scene.sphere({-2.5f, 0, 0}, 0.8f, red);
    scene.box({1.7f, -0.8f, -0.8f}, {3.3f, 0.8f, 0.8f}, blue);
    scene.beginMesh();
    scene.quad({-1, 0, -1}, {2, 0, 0}, {0, 0, 2}, textured); // u runs along x
    scene.endMesh();
    scene.beginMesh();
    scene.triangle({-0.5f, 0, 2}, {0, 0, 3}, {0.5f, 0, 2}, -1); // no material
    scene.endMesh();
    scene.light({0, -10, 0}, {1, 1, 1});

    // Texture on unit 1 (sampler tex[0]): green left half, yellow right half.
    GLuint texture;
    glGenTextures(1, &texture);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    const unsigned char texels[2 * 3] = {0, 255, 0, 255, 255, 0};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    render(scene, kFront, 0, "solids");
    glDeleteTextures(1, &texture);

    Pixel sphere = at(columnOf(-2.5f), 32);
    EXPECT_GT(sphere.r, 0.5f);
    EXPECT_LT(sphere.g, 0.15f);
    EXPECT_NEAR(sphere.a, std::sqrt(100 + 2.5f * 2.5f) - 0.8f, 0.05f); // hit distance in alpha
    Pixel box = at(columnOf(2.5f), 32);
    EXPECT_GT(box.b, 0.5f);
    EXPECT_LT(box.r, 0.15f);
    EXPECT_NEAR(box.a, 9.2f / std::cos(std::atan(2.5f / 9.2f)), 0.1f); // an oblique ray
    Pixel left = at(columnOf(-0.5f), 32), right = at(columnOf(0.5f), 32);
    EXPECT_GT(left.g, 0.5f);
    EXPECT_LT(left.r, 0.15f);
    EXPECT_GT(right.g, 0.5f);
    EXPECT_GT(right.r, 0.5f);
    Pixel plain = at(32, 32 + int(2.3f / 4.142f * 32));
    EXPECT_GT(plain.r, 0.3f) << "material -1 shades with the default material";
    EXPECT_NEAR(plain.r, plain.g, 0.01f);
    // Between the objects nothing is hit: background, far distance.
    Pixel gap = at(columnOf(-1.4f), 32);
    EXPECT_LT(gap.r + gap.g + gap.b, 0.01f);
    EXPECT_GT(gap.a, 10000.0f);
}

TEST_F(RayShader, WindowAspectShapesTheRaysNotThePixelGrid) {
    PrimitiveSceneBuilder scene;
    scene.sphere({0, 0, 0}, 1, scene.material({1, 1, 1}));
    scene.light({0, -10, 0}, {1, 1, 1});
    // A 2:1 window: the square target is stretched across it later, so the
    // sphere must be twice as tall as wide in the target. The window is far
    // larger than the target; the pixel position does not depend on it.
    render(scene, kFront, 0, "aspect", 1024, 512);
    EXPECT_GT(at(32, 32).r, 0.3f);
    EXPECT_LT(at(32 + 12, 32).r, 0.01f);
    EXPECT_GT(at(32, 32 + 12).r, 0.1f);
    EXPECT_GT(at(32, 32 - 12).r, 0.1f);
}

// Light up and to the left; a small plate floats above the floor.
void plateOverFloor(PrimitiveSceneBuilder& scene, bool plateCastsShadow) {
    int grey = scene.material({0.8f, 0.8f, 0.8f});
    scene.beginMesh();
    scene.quad({-6, -6, -1}, {12, 0, 0}, {0, 12, 0}, grey);
    scene.endMesh();
    scene.beginMesh(plateCastsShadow);
    scene.quad({0.5f, -0.5f, 0}, {1, 0, 0}, {0, 1, 0}, grey);
    scene.endMesh();
    scene.light({-2, 0, 3}, {1, 1, 1});
    scene.light({100, 100, 100}, {1, 1, 1}, 1, /*off*/ true);
}

// Looking straight down on the floor (z = -1) from 11 units above it.
const RayPassHarness::Camera kAbove = {{0, 0, 10}, {0, 0, -1}, 0, 45};
int floorColumnOf(float x) {
    return int((x / (11 * std::tan(22.5 * M_PI / 180)) + 1) / 2 * kSize);
}

TEST_F(RayShader, PlateCastsAShadowUnlessItsMeshIsNoS) {
    PrimitiveSceneBuilder shadowing;
    plateOverFloor(shadowing, true);
    render(shadowing, kAbove, 0, "shadow");
    // The plate's shadow falls on x in [1.33, 2.67]; x = -2.2 is lit.
    float shadow = at(floorColumnOf(2.2f), 32).r, lit = at(floorColumnOf(-2.2f), 32).r;
    EXPECT_GT(lit, 0.3f);
    EXPECT_LT(shadow, 0.3f * lit);

    PrimitiveSceneBuilder noShadow;
    plateOverFloor(noShadow, false);
    render(noShadow, kAbove, 0, "shadow_nos");
    EXPECT_GT(at(floorColumnOf(2.2f), 32).r, 0.6f * lit);
}

// Beside a light that is on, the picture is that light's alone. With none on, the
// head light above the camera stands in, as for a scene without lights.
TEST_F(RayShader, LightsThatAreOffOrDarkAddNothing) {
    auto sphereLitBy = [&](bool offAndDark, bool on, const char* name) {
        PrimitiveSceneBuilder scene;
        scene.sphere({0, 0, 0}, 1, scene.material({1, 1, 1}));
        if (offAndDark) {
            scene.light({0, -10, 0}, {1, 1, 1}, 1, /*off*/ true);
            scene.light({0, -10, 0}, {1, 1, 1}, 0);
        }
        if (on)
            scene.light({3, -10, 0}, {0.5f, 0.5f, 0.5f});
        render(scene, kFront, 0, name);
        return image;
    };
    EXPECT_EQ(sphereLitBy(true, true, "lights_off_and_on"), sphereLitBy(false, true, "light_on"));
    std::vector<float> headLit = sphereLitBy(true, false, "lights_off");
    EXPECT_EQ(headLit, sphereLitBy(false, false, "no_lights"));
    EXPECT_GT(at(32, 32).r, 0.9f) << "the sphere's centre faces the head light";
    EXPECT_GT(at(32, 37).r, at(32, 27).r) << "from above the camera";
}

// A mirror facing the camera and a red ball behind the camera, seen only in it.
void mirrorScene(PrimitiveSceneBuilder& scene) {
    int mirror = scene.material({0.3f, 0.3f, 0.3f}, {0, 0, 0}, 0, 0, /*reflection*/ 0.9f);
    scene.beginMesh();
    scene.quad({-3, 0, -3}, {6, 0, 0}, {0, 0, 6}, mirror);
    scene.endMesh();
    scene.sphere({0, -13, 0}, 1.5f, scene.material({1, 0, 0}));
    scene.light({0, -6, 0}, {1, 1, 1});
}

TEST_F(RayShader, MirrorShowsTheBallOnlyWithReflections) {
    PrimitiveSceneBuilder withReflection, without;
    mirrorScene(withReflection);
    render(withReflection, kFront, 1, "mirror_numrefl1");
    Pixel reflected = at(32, 32);
    EXPECT_GT(reflected.r, 0.4f);
    EXPECT_GT(reflected.r, 3 * reflected.g);
    EXPECT_NEAR(reflected.a, 10.0f, 0.05f) << "alpha keeps the first hit, not the reflected one";

    mirrorScene(without);
    render(without, kFront, 0, "mirror_numrefl0");
    Pixel plain = at(32, 32);
    EXPECT_NEAR(plain.r, plain.g, 0.01f) << "with numrefl 0 the mirror shows its own grey";
    EXPECT_GT(plain.r, 0.1f);
}

// Triangles of several meshes, groups of 26 and empty trailing groups: the
// hierarchy must find exactly what a walk over every record finds.
TEST_F(RayShader, HierarchyFindsWhatEveryRecordFinds) {
    PrimitiveSceneBuilder scene;
    int materials[3] = {scene.material({0.9f, 0.3f, 0.2f}, {1, 1, 1}, 0.4f, 0.7f),
                        scene.material({0.2f, 0.8f, 0.3f}, {0, 0, 0}, 0, 0, 0.5f),
                        scene.material({0.3f, 0.4f, 0.9f})};
    for (int mesh = 0; mesh < 5; ++mesh) {
        scene.beginMesh(mesh != 2);
        int faces = mesh == 0 ? 26 : 20 + 13 * mesh; // 26: an empty trailing group
        for (int f = 0; f < faces; ++f) {
            float a = f * 0.7f + mesh, x = -3 + mesh * 1.5f + std::sin(a), z = std::cos(a * 1.3f) * 2;
            scene.triangle({x, -0.2f * f, z}, {x + 0.6f, 0.3f, z + 0.4f}, {x + 0.1f, 0.5f, z - 0.6f},
                           materials[(mesh + f) % 3]);
        }
        scene.endMesh();
    }
    scene.sphere({1, 2, 1}, 1, materials[1]);
    scene.box({-4, 3, -3}, {4, 4, -2}, materials[2]);
    scene.light({-5, -8, 6}, {1, 1, 1});
    scene.light({6, -4, 2}, {0.5f, 0.5f, 0.8f}, 0.8f);
    // The show's build against the every-record build, and the checking build's two
    // walks, which run the same code around the walk and so round alike.
    render(scene, kFront, 2, "hierarchy");
    std::vector<float> walked = image;
    render(scene, kFront, 2, "brute_force", 1, 1, "#define BRUTE_FORCE\n");
    std::vector<float> every = image;
    render(scene, kFront, 2, "check_hierarchy", 1, 1, "#define CHECK_WALKS\n", 0);
    std::vector<float> checkWalked = image;
    render(scene, kFront, 2, "check_every", 1, 1, "#define CHECK_WALKS\n", 1);
    auto differing = [](const std::vector<float>& a, const std::vector<float>& b) {
        int count = 0;
        for (size_t i = 0; i < a.size(); i += 4)
            if (std::fabs(a[i] - b[i]) + std::fabs(a[i + 1] - b[i + 1]) + std::fabs(a[i + 2] - b[i + 2]) >
                0.02f)
                ++count;
        return count;
    };
    int lit = 0;
    for (size_t i = 0; i < walked.size(); i += 4)
        if (walked[i] + walked[i + 1] + walked[i + 2] > 0.05f)
            ++lit;
    EXPECT_GT(lit, kSize * kSize / 4) << "the scene should fill a good part of the picture";
    // Edges shared by two triangles may resolve either way.
    EXPECT_LE(differing(walked, every), kSize * kSize / 200);
    EXPECT_EQ(differing(walked, checkWalked), 0) << "the checking build's hierarchy is the show's";
    EXPECT_EQ(differing(checkWalked, image), 0);
}

// The walk takes boxes 32 at a time: a run of more than 32 meshes (a fence of 40
// one-triangle meshes, walked without runs) and a mesh of more than 32 groups (a
// wall of 60, in strips across the picture) must be walked whole, shadows too.
TEST_F(RayShader, ListsOfMoreThanThirtyTwoBoxesAreWalkedWhole) {
    PrimitiveSceneBuilder scene;
    int grey = scene.material({0.8f, 0.8f, 0.8f}, {1, 1, 1}, 0.3f, 0.5f, 0.3f);
    int orange = scene.material({0.9f, 0.4f, 0.1f});
    scene.beginMesh();
    for (int column = 0; column < 30; ++column)
        for (int row = 0; row < 26; ++row)
            scene.quad({-5 + column / 3.0f, 1, -5 + row / 2.6f}, {1 / 3.0f, 0, 0}, {0, 0, 1 / 2.6f}, grey);
    scene.endMesh();
    for (int i = 0; i < 40; ++i) {
        scene.beginMesh();
        float x = -3.5f + 0.18f * i, z = std::sin(i * 0.9f) * 2;
        scene.triangle({x, -1, z}, {x + 0.15f, -1, z}, {x + 0.07f, -1, z + 0.3f}, orange);
        scene.endMesh();
    }
    scene.light({0, -9, 1}, {1, 1, 1});
    render(scene, kFront, 1, "long_lists_brute_force", 1, 1, "#define BRUTE_FORCE\n");
    std::vector<float> every = image;
    for (bool runs : {true, false}) {
        RayPassHarness harness;
        ASSERT_TRUE(harness.load(kVertexShader, kFragmentShader));
        harness.setUp(kSize, scene.finish());
        if (!runs)
            harness.setRuns(MeshRunUniforms{});
        harness.draw(kFront, 1);
        image = harness.pixels();
        int otherHit = 0, otherColour = 0;
        for (size_t i = 0; i < image.size(); i += 4) {
            otherHit += std::fabs(image[i + 3] - every[i + 3]) > 1e-4f;
            otherColour += std::fabs(image[i] - every[i]) + std::fabs(image[i + 1] - every[i + 1]) +
                               std::fabs(image[i + 2] - every[i + 2]) >
                           0.02f;
        }
        EXPECT_EQ(otherHit, 0) << (runs ? "with runs" : "without runs");
        EXPECT_LE(otherColour, kSize * kSize / 200) << (runs ? "with runs" : "without runs");
    }
    int fence = 0, wallSeen = 0;
    for (size_t i = 3; i < every.size(); i += 4) {
        fence += every[i] < 9.5f;
        wallSeen += every[i] > 10.5f && every[i] < 12;
    }
    EXPECT_GT(fence, 40) << "the fence should show";
    EXPECT_GT(wallSeen, kSize * kSize / 2) << "the wall should fill the rest";
}

// The counting build writes box tests, triangle tests, solid tests and rays per
// pixel. One mesh: a strip of 13 quads (a full group of 26 triangles) at z in
// [0, 0.5] and 2 quads (a group of 4) at z in [-2, -1.5]; no lights, no bounces.
TEST_F(RayShader, CountingBuildCountsTheTestsOfEachRay) {
    PrimitiveSceneBuilder scene;
    int grey = scene.material({0.5f, 0.5f, 0.5f});
    scene.beginMesh();
    for (int i = 0; i < 13; ++i)
        scene.quad({-3.25f + 0.5f * i, 0, 0}, {0.5f, 0, 0}, {0, 0, 0.5f}, grey);
    for (int i = 0; i < 2; ++i)
        scene.quad({-0.5f + 0.5f * i, 0, -2}, {0.5f, 0, 0}, {0, 0, 0.5f}, grey);
    scene.endMesh();
    const int strip = columnOf(0.25f), gap = columnOf(-0.75f), outside = 2;
    auto expectCounts = [&](int row, float boxes, float triangles, const char* where) {
        Pixel p = at(32, row);
        EXPECT_EQ(p.r, boxes) << where;
        EXPECT_EQ(p.g, triangles) << where;
        EXPECT_EQ(p.b, 0.0f) << where;
        EXPECT_EQ(p.a, 1.0f) << where << ": one ray";
    };
    render(scene, kFront, 0, "counts", 1, 1, "#define COUNT_TESTS\n");
    // The one mesh makes one run, whose box is the mesh's.
    expectCounts(strip, 4, 26, "the strip: run box, mesh box, both group boxes, the first group's triangles");
    expectCounts(gap, 4, 0, "between the groups: inside the mesh box only");
    expectCounts(outside, 1, 0, "outside the run's box: nothing else is tested");
    render(scene, kFront, 0, "counts_brute_force", 1, 1, "#define COUNT_TESTS\n#define BRUTE_FORCE\n");
    expectCounts(strip, 0, 30, "every record");
    expectCounts(outside, 0, 30, "every record");
}

} // namespace
