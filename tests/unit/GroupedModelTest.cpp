// Models whose objects were grouped in the modelling program: every mesh sits
// under a group node, and the top-level nodes alone would draw nothing.
#include "core/Inspector.h"
#include "core/PrimitiveLayout.h"
#include "core/Studio3dsFile.h"
#include "support/FlattenedScene.h"
#include "support/Studio3dsFixtures.h"
#include "support/TestPaths.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

using namespace primitive;
using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

namespace {

using Vec3 = Studio3dsFixture::Vec3;
const float kQuarterTurn = float(M_PI / 2);

void triangle(Studio3dsFixture& f, const std::string& name) {
    f.mesh(name, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}, "");
}

// Group "wheel" at (10, 0, 0), a quarter turn about z, holds mesh "hub" at its
// origin, mesh "spoke" moving from (0, 2, 0) at frame 0 to (0, 4, 0) at frame 10,
// and group "rim" at (0, 0, 5) with mesh "tyre" at (1, 0, 0) and an omni light at
// (2, 0, 0). Only the camera is at the top level besides the wheel.
void buildWheel(Studio3dsFixture& f) {
    f.setFrames(20);
    for (const char* name : {"hub", "spoke", "tyre"})
        triangle(f, name);
    int wheel = f.dummyNode("wheel", {10, 0, 0});
    f.rotationKey(wheel, 0, {0, 0, 1}, kQuarterTurn);
    f.meshNode("hub", {0, 0, 0}, wheel);
    int spoke = f.meshNode("spoke", {0, 2, 0}, wheel);
    f.positionKey(spoke, 10, {0, 4, 0});
    int rim = f.dummyNode("rim", {0, 0, 5}, wheel);
    f.meshNode("tyre", {1, 0, 0}, rim);
    f.omniLight("lamp", {2, 0, 0});
    f.saveUnder(f.lastNodeId(), rim);
    f.camera("cam", {0, -20, 0}, {0, 0, 0}, 45);
}

// A point of a node's frame placed by the wheel: lib3ds turns a positive angle
// clockwise seen from +z, so the quarter turn takes x to -y and y to x; then the
// wheel's position.
Vec3 onWheel(Vec3 p) {
    return {10 + p[1], -p[0], p[2]};
}

std::map<int, std::array<float, 4>> texelsOf(const std::string& inspectorOutput) {
    std::map<int, std::array<float, 4>> out;
    std::istringstream in(inspectorOutput);
    int index;
    std::string region;
    std::array<float, 4> v;
    while (in >> index >> region >> v[0] >> v[1] >> v[2] >> v[3])
        out[index] = v;
    return out;
}

// Each mesh is the triangle (0, 0, 0), (1, 0, 0), (0, 1, 0) at `offset` in the
// wheel's frame. Its record holds P1, then the edges to P0 and P2, which the
// quarter turn makes (0, 1, 0) and (1, 1, 0).
void expectTriangle(const std::map<int, std::array<float, 4>>& texels, int texel, Vec3 offset,
                    const char* mesh) {
    const Vec3 expected[3] = {onWheel({offset[0] + 1, offset[1], offset[2]}), {0, 1, 0}, {1, 1, 0}};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(texels.count(texel + i)) << mesh;
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(texels.at(texel + i)[k], expected[i][k], 1e-5f)
                << mesh << " texel " << i << " axis " << k;
    }
}

// Every mesh inside the groups is drawn where the evaluated tree puts it, in file
// order (depth first, children as the file lists them), after one line saying so.
TEST(GroupedModel, EveryMeshInsideGroupsIsWrittenWithItsWorldPlace) {
    Studio3dsFixture f;
    buildWheel(f);
    std::string path = makeScratchDir("grouped_wheel") + "/wheel.3ds";
    ASSERT_TRUE(f.save(path));
    // lib3ds lists a node's children by name; the file now lists "zub" before "spoke".
    ASSERT_EQ(Studio3dsFixture::renameInFile(path, "hub", "zub"), 2); // mesh and node

    CaptureStdout();
    CaptureStderr();
    int status = runInspector(path.c_str(), 5);
    std::string out = GetCapturedStdout(), err = GetCapturedStderr();
    ASSERT_EQ(status, 0);
    EXPECT_EQ(err, "ERROR: " + path + ": meshes found only inside groups; drawing the whole tree\n");
    std::map<int, std::array<float, 4>> texels = texelsOf(out);
    ASSERT_TRUE(texels.count(kHeaderTexel)) << out;
    const std::array<float, 4>& header = texels[kHeaderTexel];
    EXPECT_EQ(header[0], 24) << "three triangles";
    EXPECT_EQ(header[3], 3) << "three mesh entries";
    // wheel, rim, tyre, lamp, zub, spoke.
    expectTriangle(texels, 1, {1, 0, 5}, "tyre");
    expectTriangle(texels, 9, {0, 0, 0}, "zub");
    expectTriangle(texels, 17, {0, 3, 0}, "spoke at frame 5 of 10");
    Vec3 lamp = onWheel({2, 0, 5});
    ASSERT_TRUE(texels.count(kLightBase)) << out;
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(texels[kLightBase][k], lamp[k], 1e-5f) << "lamp axis " << k;
}

// One mesh at the top level: the top-level walk stays, and the groups with their
// meshes add nothing, so the buffer is the one of the file without them.
TEST(GroupedModel, OneTopLevelMeshKeepsTheTopLevelWalk) {
    FlattenedScene alone, mixed;
    {
        Studio3dsFixture f;
        triangle(f, "solo");
        f.meshNode("solo", {0, 0, 1});
        f.omniLight("lamp", {2, 0, 0}, {1, 1, 1}, 1.0f, false, false); // the wheel's, without its node
        f.omniLight("zlamp", {0, 0, 9});
        f.camera("cam", {0, -20, 0}, {0, 0, 0}, 45);
        ASSERT_TRUE(alone.build(f, "grouped_alone", 5));
    }
    Studio3dsFixture f;
    buildWheel(f);
    triangle(f, "solo");
    f.meshNode("solo", {0, 0, 1});
    f.omniLight("zlamp", {0, 0, 9});
    CaptureStderr();
    ASSERT_TRUE(mixed.build(f, "grouped_mixed", 5));
    EXPECT_EQ(GetCapturedStderr(), "");
    EXPECT_TRUE(mixed.texels == alone.texels);
    EXPECT_EQ(mixed.report.ranges.size(), alone.report.ranges.size());
    for (const Studio3dsNode& node : mixed.file->nodes())
        EXPECT_TRUE(node.name != "hub" && node.name != "spoke" && node.name != "tyre") << node.name;
}

} // namespace
