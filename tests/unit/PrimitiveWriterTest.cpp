#include "core/PrimitiveLayout.h"
#include "support/FlattenedScene.h"
#include "support/Studio3dsFixtures.h"

#include <lib3ds/mesh.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

using namespace primitive;

namespace {

void expectTexel(const FlattenedScene& s, int index, float x, float y, float z, float w) {
    const float* t = s.texel(index);
    EXPECT_FLOAT_EQ(t[0], x) << "texel " << index << " x";
    EXPECT_FLOAT_EQ(t[1], y) << "texel " << index << " y";
    EXPECT_FLOAT_EQ(t[2], z) << "texel " << index << " z";
    EXPECT_FLOAT_EQ(t[3], w) << "texel " << index << " w";
}

// A unit square of two faces in the z = 0 plane, with UVs.
void addSquare(Studio3dsFixture& f, const std::string& name, const std::string& material) {
    f.mesh(name, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 3}}, material,
           {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
}

// One mesh-instance node with a two-face mesh on material 0, one omnilight node,
// one material without texture map.
void buildExample(Studio3dsFixture& f) {
    f.material("m0");
    addSquare(f, "square", "m0");
    f.meshNode("square");
    f.omniLight("lamp", {5, 6, 7}, {1, 0.5f, 0.25f}, 2.0f);
    f.camera("cam", {0, -10, 5}, {0, 0, 0}, 40.0f, 3.0f);
}

TEST(PrimitiveWriterExample, HeaderPositionsAndWValues) {
    Studio3dsFixture f;
    buildExample(f);
    FlattenedScene s;
    ASSERT_TRUE(s.build(f, "example"));

    expectTexel(s, kHeaderTexel, 16, 1, 1, 1);
    // Face (0, 1, 2): origin P1, edges to P0 and P2, material 0, flag 1.
    expectTexel(s, 1, 1, 0, 0, 0);
    expectTexel(s, 2, -1, 0, 0, 1);
    expectTexel(s, 3, 0, 1, 0, 0); // w not written: the reset value
    for (int n = 4; n <= 6; ++n)
        expectTexel(s, n, 0, 0, 1, 0);
    expectTexel(s, 7, 0, 0, 1, 0);
    expectTexel(s, 8, 1, 1, 0, 0);
    // Face (0, 2, 3).
    expectTexel(s, 9, 1, 1, 0, 0);
    expectTexel(s, 10, -1, -1, 0, 1);
    expectTexel(s, 11, -1, 0, 0, 0);
    expectTexel(s, 15, 0, 0, 1, 1);
    expectTexel(s, 16, 0, 1, 0, 0);
    expectTexel(s, 17, 0, 0, 0, 0); // nothing after the last record

    expectTexel(s, kVolumeBase, 0, 0, 0, 1);
    expectTexel(s, kVolumeBase + 1, 1, 1, 0, 17);
    expectTexel(s, kMeshBase, 0, 0, 0, 0);
    expectTexel(s, kMeshBase + 1, 1, 1, 0, 1);
    expectTexel(s, kLightBase, 5, 6, 7, 0);
    expectTexel(s, kLightBase + 1, 1, 0.5f, 0.25f, 2);

    const Studio3dsMaterial& m = s.file->materials()[0];
    expectTexel(s, kMaterialBase, m.diffuse[0], m.diffuse[1], m.diffuse[2], m.shinStrength);
    expectTexel(s, kMaterialBase + 1, m.specular[0], m.specular[1], m.specular[2], m.shininess);
    // No reflection map: no reflection, although lib3ds reports a percent of 1.
    EXPECT_EQ(m.reflectionPercent, 1.0f);
    expectTexel(s, kMaterialBase + 2, 0, 0, 0, -1);

    const std::vector<TexelRange> expected = {
        {0, 17}, {kVolumeBase, 2}, {kMaterialBase, 3}, {kLightBase, 2}, {kMeshBase, 2}};
    ASSERT_EQ(s.report.ranges.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(s.report.ranges[i].first, expected[i].first);
        EXPECT_EQ(s.report.ranges[i].count, expected[i].count);
    }
    EXPECT_EQ(s.report.triangles, 2);
    EXPECT_EQ(s.report.volumes, 1);
    EXPECT_EQ(s.report.lights, 1);
    EXPECT_EQ(s.report.meshes, 1);
    EXPECT_EQ(s.report.materials, 1);
}

TEST(PrimitiveWriterExample, CameraValues) {
    Studio3dsFixture f;
    buildExample(f);
    FlattenedScene s;
    ASSERT_TRUE(s.open(f, "camera"));
    const FlattenCamera& c = s.flatten(0, 2.0f).camera;
    EXPECT_FLOAT_EQ(c.position[1], -10);
    EXPECT_FLOAT_EQ(c.position[2], 5);
    EXPECT_FLOAT_EQ(c.target[0], 0);
    EXPECT_FLOAT_EQ(c.roll, 3);
    EXPECT_FLOAT_EQ(c.fov, 40);
    EXPECT_FLOAT_EQ(c.focusDistance, std::sqrt(125.0f));
    EXPECT_FLOAT_EQ(c.focal, std::sqrt(125.0f) / 2);
    EXPECT_EQ(c.blurSize, float(40.0 / 35.0 / 1024.0 * 2.0));
    EXPECT_EQ(s.flatten(0, 0.0f).camera.blurSize, 0.0f);
}

TEST(PrimitiveWriterExample, RewritesTheSameTexelsEveryFrame) {
    Studio3dsFixture f;
    buildExample(f);
    FlattenedScene s;
    ASSERT_TRUE(s.build(f, "repeat"));
    std::vector<float> first = s.texels;
    std::vector<TexelRange> ranges = s.report.ranges;
    s.flatten(0);
    EXPECT_TRUE(first == s.texels);
    ASSERT_EQ(ranges.size(), s.report.ranges.size());
    for (size_t i = 0; i < ranges.size(); ++i)
        EXPECT_EQ(ranges[i].count, s.report.ranges[i].count);
}

bool buildTriangles(FlattenedScene& s, int count) {
    Studio3dsFixture f;
    f.triangles("tris", count, "");
    f.meshNode("tris");
    return s.build(f, "groups" + std::to_string(count));
}

TEST(PrimitiveWriterGroups, TwentySixFacesEndWithAnEmptyGroup) {
    FlattenedScene s;
    ASSERT_TRUE(buildTriangles(s, 26));
    expectTexel(s, kHeaderTexel, 208, 2, 0, 1);
    EXPECT_FLOAT_EQ(s.texel(kVolumeBase)[3], 1);
    EXPECT_FLOAT_EQ(s.texel(kVolumeBase + 1)[3], 209);
    expectTexel(s, kVolumeBase + 2, 10000, 10000, 10000, 209);
    expectTexel(s, kVolumeBase + 3, -10000, -10000, -10000, 209);
    EXPECT_FLOAT_EQ(s.texel(kMeshBase + 1)[3], 2);
}

TEST(PrimitiveWriterGroups, TwentySevenFacesMakeGroupsOf26And1) {
    FlattenedScene s;
    ASSERT_TRUE(buildTriangles(s, 27));
    expectTexel(s, kHeaderTexel, 216, 2, 0, 1);
    EXPECT_FLOAT_EQ(s.texel(kVolumeBase + 1)[3], 209);
    EXPECT_FLOAT_EQ(s.texel(kVolumeBase + 2)[3], 209);
    EXPECT_FLOAT_EQ(s.texel(kVolumeBase + 3)[3], 217);
    // The last group's box holds just triangle 26: x from 52 to 53.
    EXPECT_FLOAT_EQ(s.texel(kVolumeBase + 2)[0], 52);
    EXPECT_FLOAT_EQ(s.texel(kVolumeBase + 3)[0], 53);
    // The mesh box covers both groups.
    EXPECT_FLOAT_EQ(s.texel(kMeshBase)[0], 0);
    EXPECT_FLOAT_EQ(s.texel(kMeshBase + 1)[0], 53);
}

TEST(PrimitiveWriterShapes, NamingRulesAndCase) {
    Studio3dsFixture f;
    f.material("m0");
    f.material("m1");
    // Node (and so entry) order is name order: a, b, c, d.
    Lib3dsMesh* box = f.box("aPAABox22Sphere", {0, 0, 0}, {1, 2, 3}, "m0");
    strcpy(box->faceL[1].material, "m1"); // the box entry takes the second face's material
    f.sphere("bNoSSphere", {10, 0, 0}, 1, "m1");
    f.sphere("csphere", {20, 0, 0}, 1, "m0");
    addSquare(f, "dNoS", "m0");
    for (const char* name : {"aPAABox22Sphere", "bNoSSphere", "csphere", "dNoS"})
        f.meshNode(name);
    FlattenedScene s;
    ASSERT_TRUE(s.build(f, "naming"));

    expectTexel(s, kVolumeBase, 0, 0, 0, kVolumeBox);
    expectTexel(s, kVolumeBase + 1, 1, 2, 3, 1);
    EXPECT_FLOAT_EQ(s.texel(kVolumeBase + 2)[3], kVolumeSphere);
    EXPECT_FLOAT_EQ(s.texel(kVolumeBase + 3)[3], 1);
    // "csphere" is triangles: a group entry, first record at texel 1.
    EXPECT_FLOAT_EQ(s.texel(kVolumeBase + 4)[3], 1);
    EXPECT_FLOAT_EQ(s.texel(2)[3], 1.0f);
    // "dNoS": triangles whose mesh flag is 0.
    int dFirst = int(s.texel(kMeshBase + 6)[3]);
    int dRecord = int(s.texel(kVolumeBase + 2 * dFirst)[3]);
    EXPECT_FLOAT_EQ(s.texel(dRecord + 1)[3], 0.0f);
    EXPECT_EQ(s.report.meshes, 4);
}

TEST(PrimitiveWriterShapes, SphereRadiusIsHalfTheXExtent) {
    Studio3dsFixture f;
    f.mesh("Sphere", {{-2, 0, 0}, {2, 5, 0}, {0, -1, 9}}, {{0, 1, 2}}, "");
    f.meshNode("Sphere");
    FlattenedScene s;
    ASSERT_TRUE(s.build(f, "radius"));
    expectTexel(s, kVolumeBase, 0, 2, 4.5f, kVolumeSphere);
    expectTexel(s, kVolumeBase + 1, 2, 0, 0, -1);
    // The mesh box is the sphere's box.
    expectTexel(s, kMeshBase, -2, -1, 0, 0);
    expectTexel(s, kMeshBase + 1, 2, 5, 9, 1);
}

TEST(PrimitiveWriterShapes, StartingBoxesClampFarGeometry) {
    Studio3dsFixture f;
    f.mesh("far", {{20000, -30000, 0}, {20001, -30000, 1}, {20000, -29999, 0}}, {{0, 1, 2}}, "");
    f.mesh("farSphere", {{200000, -300000, 0}, {200004, -300000, 1}, {200000, -299999, 0}}, {{0, 1, 2}}, "");
    f.meshNode("far");
    f.meshNode("farSphere");
    FlattenedScene s;
    ASSERT_TRUE(s.build(f, "far"));
    // Triangles: above 10000 the minimum stays 10000, below -10000 the maximum stays -10000.
    expectTexel(s, kVolumeBase, 10000, -30000, 0, 1);
    expectTexel(s, kVolumeBase + 1, 20001, -10000, 1, 9);
    expectTexel(s, kMeshBase, 10000, -30000, 0, 0);
    expectTexel(s, kMeshBase + 1, 20001, -10000, 1, 1);
    // The sphere's box starts at +-100000; the mesh box still at +-10000.
    expectTexel(s, kVolumeBase + 2, 150002, -200000, 0.5f, kVolumeSphere);
    EXPECT_FLOAT_EQ(s.texel(kVolumeBase + 3)[0], 50002);
    expectTexel(s, kMeshBase + 2, 10000, -300000, 0, 1);
    expectTexel(s, kMeshBase + 3, 200004, -10000, 1, 2);
}

// The shader reads as many light records as the header counts: a spotlight or an
// omni light without a node gets no record, so it is not counted either.
TEST(PrimitiveWriterNodes, LightCountIsTheRecordsWritten) {
    Studio3dsFixture f;
    f.omniLight("a", {1, 2, 3}, {0.5f, 0.5f, 0.5f}, 1.5f, true);
    f.spotLight("b", {0, 0, 9}, {0, 0, 0});
    f.omniLight("c", {4, 5, 6});
    f.omniLight("d", {7, 8, 9}, {1, 1, 1}, 1.0f, false, false);
    FlattenedScene s;
    ASSERT_TRUE(s.build(f, "spot"));
    expectTexel(s, kHeaderTexel, 0, 0, 2, 0); // four lights, two records
    expectTexel(s, kLightBase, 1, 2, 3, 1);   // switched off
    expectTexel(s, kLightBase + 1, 0.5f, 0.5f, 0.5f, 1.5f);
    expectTexel(s, kLightBase + 2, 4, 5, 6, 0);
    EXPECT_EQ(s.report.lights, 2);
}

TEST(PrimitiveWriterNodes, OnlyTopLevelMeshNodesWithMeshes) {
    Studio3dsFixture f;
    addSquare(f, "parent", "");
    addSquare(f, "child", "");
    int parent = f.meshNode("parent");
    f.meshNode("child", {0, 0, 5}, parent);
    f.dummyNode("helper");
    FlattenedScene s;
    ASSERT_TRUE(s.build(f, "children"));
    expectTexel(s, kHeaderTexel, 16, 1, 0, 1);
    EXPECT_FLOAT_EQ(s.texel(kMeshBase + 1)[2], 0); // not the child's z of 5
}

TEST(PrimitiveWriterNodes, OneMeshInstancedByThreeNodes) {
    Studio3dsFixture f;
    f.triangles("tris", 30, "");
    for (float z : {0.0f, 10.0f, 20.0f})
        f.meshNode("tris", {0, 0, z});
    FlattenedScene s;
    ASSERT_TRUE(s.build(f, "instanced"));
    // 3 x 30 triangles in groups of 26 + 4.
    expectTexel(s, kHeaderTexel, 720, 6, 0, 3);
    float lowest[3];
    for (int k = 0; k < 3; ++k) {
        EXPECT_FLOAT_EQ(s.texel(kMeshBase + 2 * k)[3], 2 * k);
        lowest[k] = s.texel(kMeshBase + 2 * k)[2];
    }
    // Each instance is placed by its own node.
    EXPECT_FLOAT_EQ(lowest[1] - lowest[0], 10);
    EXPECT_FLOAT_EQ(lowest[2] - lowest[0], 20);
}

TEST(PrimitiveWriterNodes, KeyframesMoveTheGeometry) {
    Studio3dsFixture f;
    addSquare(f, "square", "");
    int node = f.meshNode("square", {0, 0, 0});
    f.positionKey(node, 10, {0, 0, 20});
    FlattenedScene s;
    ASSERT_TRUE(s.open(f, "keys"));
    s.flatten(0);
    EXPECT_FLOAT_EQ(s.texel(1)[2], 0);
    s.flatten(10);
    EXPECT_FLOAT_EQ(s.texel(1)[2], 20);
    EXPECT_FLOAT_EQ(s.texel(kMeshBase)[2], 20);
}

// What the writer keeps between frames (placed points while a node stays, normals
// while it only moves, which records changed) must not show: frame by frame, one
// writer going through the animation writes the same bytes as a fresh writer per
// frame, and a copy that receives only the changed ranges (as the GPU buffer does)
// holds them too. Nodes that stay, move, turn, hold still after turning, and one
// mesh shown by two nodes.
TEST(PrimitiveWriterNodes, WhatTheWriterKeepsBetweenFramesNeverShows) {
    Studio3dsFixture f;
    f.setFrames(12);
    f.material("m0");
    f.grid("grid", 3, "m0", {-2, -2, 0});
    addSquare(f, "square", "m0");
    f.meshNode("grid");
    int moving = f.meshNode("square", {0, 0, 1});
    f.positionKey(moving, 6, {0, 0, 4});
    int turning = f.meshNode("grid", {3, 0, 0});
    f.rotationKey(turning, 0, {0, 0, 1}, 0);
    f.rotationKey(turning, 4, {1, 0, 0}, 1.0f);
    f.rotationKey(turning, 8, {0, 1, 0}, 0.5f);
    FlattenedScene kept, fresh;
    ASSERT_TRUE(kept.open(f, "kept"));
    ASSERT_TRUE(fresh.open(f, "fresh"));
    std::vector<float> gpu = kept.texels;
    auto texels = [](const std::vector<TexelRange>& ranges) {
        int n = 0;
        for (const TexelRange& r : ranges)
            n += r.count;
        return n;
    };
    for (int frame : {0, 1, 2, 5, 6, 7, 9, 11, 11, 3, 0}) {
        kept.flatten(float(frame));
        fresh.writer.reset(fresh.path);
        fresh.flatten(float(frame));
        ASSERT_EQ(kept.report.triangles, 2 * 9 * 2 + 2);
        EXPECT_TRUE(kept.texels == fresh.texels) << "frame " << frame;
        for (const TexelRange& r : kept.report.changed)
            std::copy_n(&kept.texels[size_t(r.first) * 4], r.count * 4, &gpu[size_t(r.first) * 4]);
        for (const TexelRange& r : fresh.report.ranges)
            EXPECT_TRUE(std::equal(&gpu[size_t(r.first) * 4], &gpu[size_t(r.first + r.count) * 4],
                                   &fresh.texels[size_t(r.first) * 4]))
                << "frame " << frame << ", texels " << r.first << " to " << r.first + r.count - 1;
        // From frame 9 on nothing moves: the records of all three nodes are left out.
        if (frame == 11) {
            EXPECT_EQ(texels(kept.report.changed), texels(kept.report.ranges) -
                                                       kept.report.triangles * kTriangleTexels -
                                                       kept.report.volumes * kVolumeTexels);
        }
    }
    EXPECT_EQ(texels(fresh.report.changed), texels(fresh.report.ranges))
        << "after a reset every range changed";
}

} // namespace

namespace {

TEST(PrimitiveWriterMaterials, ReflectionComesOnlyFromAReflectionMap) {
    Studio3dsFixture f;
    f.material("a_plain");
    f.material("b_mirror", "", 0.4f);
    addSquare(f, "square", "a_plain");
    f.meshNode("square");
    FlattenedScene s;
    ASSERT_TRUE(s.build(f, "reflections"));
    expectTexel(s, kMaterialBase + 2, 0, 0, 0, -1);
    expectTexel(s, kMaterialBase + kMaterialTexels + 2, 0.4f, 0, 0, -1);
}

} // namespace
