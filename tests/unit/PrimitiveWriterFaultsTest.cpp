// The writer on input the layout does not foresee: full regions, broken meshes,
// nodes and lights that do not match, files without a usable camera.
#include "core/PrimitiveLayout.h"
#include "support/FlattenedScene.h"
#include "support/Studio3dsFixtures.h"

#include <lib3ds/file.h>
#include <lib3ds/light.h>
#include <lib3ds/mesh.h>

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace primitive;
using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

namespace {

int errorLines(const std::string& text) {
    return int(std::count(text.begin(), text.end(), '\n'));
}

void addSquare(Studio3dsFixture& f, const std::string& name, const std::string& material) {
    f.mesh(name, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 3}}, material);
}

TEST(PrimitiveWriterCapacity, TrianglesBeyondTheRegionAreDroppedAndReportedOncePerLoad) {
    Studio3dsFixture f;
    f.grid("grid", 128, ""); // 32768 faces; two instances exceed 65535 by one
    f.meshNode("grid");
    f.meshNode("grid", {0, 0, 1});
    f.camera("cam", {0, -10, 0}, {0, 0, 0}, 45);
    FlattenedScene s;
    ASSERT_TRUE(s.open(f, "capacity"));
    CaptureStderr();
    s.flatten(0);
    std::string first = GetCapturedStderr();
    EXPECT_EQ(errorLines(first), 1) << first;
    EXPECT_NE(first.find("ERROR: " + s.path + ": 1 triangles"), std::string::npos) << first;

    EXPECT_FLOAT_EQ(s.texel(kHeaderTexel)[0], kTriangleCapacity * kTriangleTexels);
    EXPECT_EQ(s.report.triangles, kTriangleCapacity);
    // No group reaches past the last record written, and nothing after it was touched.
    int volumes = int(s.texel(kHeaderTexel)[1]);
    for (int e = 0; e < volumes; ++e)
        EXPECT_LE(s.texel(kVolumeBase + 2 * e + 1)[3], kTriangleBase + kTriangleCapacity * kTriangleTexels);
    for (int t = kTriangleBase + kTriangleCapacity * kTriangleTexels; t < kVolumeBase; ++t)
        EXPECT_FALSE(s.written(t));
    EXPECT_FLOAT_EQ(s.texel(kVolumeBase - 1)[0], 0);

    CaptureStderr();
    s.flatten(1);
    EXPECT_EQ(GetCapturedStderr(), ""); // not once per frame
    s.writer.reset(s.path);
    CaptureStderr();
    s.flatten(0);
    EXPECT_EQ(errorLines(GetCapturedStderr()), 1); // again after a reload
}

TEST(PrimitiveWriterBrokenInput, UnknownMaterialAndMissingUvs) {
    Studio3dsFixture f;
    f.material("m0");
    addSquare(f, "square", "nothere"); // no UVs, a material the file lacks
    f.meshNode("square");
    FlattenedScene s;
    ASSERT_TRUE(s.open(f, "nouv"));
    // Sentinels show which components the writer leaves alone.
    std::fill(s.texels.begin(), s.texels.end(), 7.0f);
    s.flatten(0);
    EXPECT_FLOAT_EQ(s.texel(1)[3], -1.0f); // material -1 reaches the shader
    for (int c = 0; c < 4; ++c)
        EXPECT_FLOAT_EQ(s.texel(7)[c], 0.0f);
    EXPECT_FLOAT_EQ(s.texel(8)[0], 0.0f);
    EXPECT_FLOAT_EQ(s.texel(8)[1], 0.0f);
    // Not written: w of texels t+2 to t+5, z and w of t+7.
    for (int t = 3; t <= 6; ++t)
        EXPECT_FLOAT_EQ(s.texel(t)[3], 7.0f);
    EXPECT_FLOAT_EQ(s.texel(8)[2], 7.0f);
    EXPECT_FLOAT_EQ(s.texel(8)[3], 7.0f);
    EXPECT_FLOAT_EQ(s.texel(17)[0], 7.0f);
}

TEST(PrimitiveWriterBrokenInput, ShapesWithoutEnoughFacesAreSkipped) {
    Studio3dsFixture f;
    f.mesh("aPAABox22", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}, "");
    f.mesh("bSphere", {{0, 0, 0}}, {}, "");
    addSquare(f, "c", "");
    for (const char* name : {"aPAABox22", "bSphere", "c"})
        f.meshNode(name);
    f.dummyNode("helper");
    FlattenedScene s;
    ASSERT_TRUE(s.open(f, "degenerate"));
    CaptureStderr();
    s.flatten(0);
    std::string errors = GetCapturedStderr();
    EXPECT_NE(errors.find("aPAABox22"), std::string::npos) << errors;
    // Only the square: one group, one mesh entry starting at entry 0.
    EXPECT_FLOAT_EQ(s.texel(kHeaderTexel)[1], 1);
    EXPECT_FLOAT_EQ(s.texel(kHeaderTexel)[3], 1);
    EXPECT_FLOAT_EQ(s.texel(kVolumeBase)[3], 1);
    EXPECT_FLOAT_EQ(s.texel(kMeshBase)[3], 0);
}

TEST(PrimitiveWriterBrokenInput, LightNodeWithoutLightIsSkipped) {
    Studio3dsFixture f;
    f.omniLight("a", {1, 1, 1});
    Lib3dsLight* ghost = f.omniLight("b", {2, 2, 2});
    f.omniLight("c", {3, 3, 3});
    lib3ds_file_remove_light(f.raw(), ghost); // its node stays
    lib3ds_light_free(ghost);
    FlattenedScene s;
    ASSERT_TRUE(s.build(f, "ghost"));
    EXPECT_FLOAT_EQ(s.texel(kHeaderTexel)[2], 2);
    EXPECT_FLOAT_EQ(s.texel(kLightBase)[0], 1);
    EXPECT_FLOAT_EQ(s.texel(kLightBase + 2)[0], 3);
    EXPECT_EQ(s.report.lights, 2);
}

// The camera of a file that lacks one, with the one note that says so: on
// standard output, as the file is shown all the same, and not as an error.
FlattenCamera fallbackCamera(Studio3dsFixture& f, const std::string& name) {
    FlattenedScene s;
    if (!s.open(f, name))
        return {};
    CaptureStdout();
    CaptureStderr();
    FlattenCamera c = s.flatten(0).camera;
    std::string errors = GetCapturedStderr(), notes = GetCapturedStdout();
    EXPECT_EQ(errors, "");
    EXPECT_EQ(errorLines(notes), 1) << notes;
    EXPECT_EQ(notes.rfind(s.path + ": ", 0), 0u) << notes;
    return c;
}

TEST(PrimitiveWriterCamera, CameraWithoutNodesUsesItsRecord) {
    Studio3dsFixture f;
    f.dummyNode("helper"); // a keyframe section, without the camera's nodes
    f.camera("cam", {1, 2, 3}, {4, 6, 3}, 50, 7, false);
    FlattenCamera c = fallbackCamera(f, "nocamnode");
    EXPECT_FLOAT_EQ(c.position[2], 3);
    EXPECT_FLOAT_EQ(c.target[1], 6);
    EXPECT_FLOAT_EQ(c.roll, 7);
    EXPECT_FLOAT_EQ(c.fov, 50);
    EXPECT_FLOAT_EQ(c.focusDistance, 5);
}

TEST(PrimitiveWriterCamera, NoCameraViewsTheWholeScene) {
    Studio3dsFixture f;
    f.box("box", {10, 20, 30}, {14, 24, 34}, "");
    f.meshNode("box");
    FlattenCamera c = fallbackCamera(f, "nocamera");
    EXPECT_FLOAT_EQ(c.target[0], 12);
    EXPECT_FLOAT_EQ(c.target[1], 22);
    EXPECT_FLOAT_EQ(c.target[2], 32);
    EXPECT_GT(c.fov, 0);
    // Far enough that the box's bounding sphere fits the field of view.
    float radius = std::sqrt(3.0f * 4 * 4) / 2;
    EXPECT_GE(c.focusDistance * std::sin(c.fov / 2 * 3.14159265f / 180), radius * 0.999f);
    EXPECT_LT(c.position[1], c.target[1]);
}

} // namespace
