#include "core/Studio3dsFile.h"
#include "core/PrimitiveLayout.h"
#include "core/PrimitiveWriter.h"
#include "core/Studio3dsChunks.h"
#include "support/FlattenedScene.h"
#include "support/Studio3dsFixtures.h"
#include "support/TestPaths.h"

#include <lib3ds/mesh.h>

#include <cmath>
#include <fstream>
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif
#include <gtest/gtest.h>
#include <iterator>
#include <memory>

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

std::unique_ptr<Studio3dsFile> saveAndOpen(Studio3dsFixture& f, const std::string& name) {
    std::string path = makeScratchDir(name) + "/" + name + ".3ds";
    EXPECT_TRUE(f.save(path));
    return Studio3dsFile::open(path.c_str());
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Studio3dsFile, FirstCameraIsTheFilesFirstNotTheFirstByName) {
    Studio3dsFixture f;
    f.camera("Zoom", {0, -10, 0}, {0, 0, 0}, 45);
    f.camera("Aerial", {0, 0, 50}, {0, 0, 0}, 30);
    FlattenedScene s;
    ASSERT_TRUE(s.build(f, "cameraorder"));
    ASSERT_EQ(s.file->cameras().size(), 2u);
    EXPECT_EQ(s.file->cameras()[0].name, "Zoom"); // lib3ds lists "Aerial" first
    EXPECT_EQ(s.file->cameras()[1].name, "Aerial");
    EXPECT_FLOAT_EQ(s.report.camera.position[1], -10);
    EXPECT_FLOAT_EQ(s.report.camera.fov, 45);
}

// lib3ds 1.x sorts by name and writes sorted files, so the names are put out of
// order in the saved bytes: the file lists zzMat, bbMat, bbMat (a second of that
// name), zzMesh, bbMesh, zzLamp, bbLamp, and the nodes zzLamp, zzMesh, bbLamp, ...
TEST(Studio3dsFile, EverythingInFileOrderAndNamesFindTheFirst) {
    Studio3dsFixture f;
    f.material("aaMat", "a.bmp");
    f.material("bbMat", "b.bmp");
    f.material("ccMat");
    f.triangles("aaMesh", 1, "bbMat", {0, 0, 0});
    f.triangles("bbMesh", 1, "aaMat", {10, 0, 0});
    f.meshNode("aaMesh");
    f.meshNode("bbMesh");
    f.omniLight("aaLamp", {1, 0, 0});
    f.omniLight("bbLamp", {2, 0, 0});
    f.camera("cam", {0, -10, 0}, {0, 0, 0}, 45);
    std::string path = makeScratchDir("fileorder") + "/order.3ds";
    ASSERT_TRUE(f.save(path));
    for (auto rename : {std::make_pair("aaMat", "zzMat"), std::make_pair("ccMat", "bbMat"),
                        std::make_pair("aaMesh", "zzMesh"), std::make_pair("aaLamp", "zzLamp")})
        ASSERT_GE(Studio3dsFixture::renameInFile(path, rename.first, rename.second), 1) << rename.first;
    std::unique_ptr<Studio3dsFile> file = Studio3dsFile::open(path.c_str());
    ASSERT_TRUE(file);

    std::vector<std::string> names;
    for (const Studio3dsMaterial& m : file->materials())
        names.push_back(m.name + ":" + m.textureMap);
    EXPECT_EQ(names, (std::vector<std::string>{"zzMat:a.bmp", "bbMat:b.bmp", "bbMat:"}));
    EXPECT_EQ(file->materialByName("bbMat"), 1);
    ASSERT_EQ(file->meshes().size(), 2u);
    EXPECT_EQ(file->meshes()[0].name, "zzMesh");
    EXPECT_EQ(file->meshes()[0].faces[0].material, 1); // bbMat, the first of the name
    EXPECT_EQ(file->meshes()[1].faces[0].material, 0); // zzMat
    ASSERT_EQ(file->lights().size(), 2u);
    EXPECT_EQ(file->lights()[0].name, "zzLamp");
    std::vector<std::string> nodes;
    for (const Studio3dsNode& n : file->nodes())
        nodes.push_back(n.name);
    EXPECT_EQ(nodes, (std::vector<std::string>{"zzLamp", "zzMesh", "bbLamp", "bbMesh", "cam", "cam"}));

    // The records follow: zzMesh's triangle first, with material 1; lights zz, bb;
    // the material slots in file order.
    std::vector<float> texels(size_t(primitive::kTexels) * primitive::kFloatsPerTexel);
    PrimitiveWriter writer;
    writer.reset(path);
    file->eval(0);
    writer.write(*file, 1.0f, texels.data());
    auto texel = [&](int i) { return &texels[size_t(i) * primitive::kFloatsPerTexel]; };
    EXPECT_FLOAT_EQ(texel(primitive::kTriangleBase + primitive::kTriangleOrigin)[3], 1);
    EXPECT_FLOAT_EQ(texel(primitive::kMeshBase + primitive::kMeshMin)[0], 0);
    EXPECT_FLOAT_EQ(texel(primitive::kMeshBase + primitive::kMeshTexels + primitive::kMeshMin)[0], 10);
    EXPECT_FLOAT_EQ(texel(primitive::kLightBase + primitive::kLightPosition)[0], 1);
    EXPECT_FLOAT_EQ(texel(primitive::kLightBase + primitive::kLightTexels + primitive::kLightPosition)[0], 2);
    for (int m = 0; m < 3; ++m)
        EXPECT_FLOAT_EQ(texel(primitive::kMaterialBase + m * primitive::kMaterialTexels +
                              primitive::kMaterialReflection)[3],
                        m < 2 ? m : -1);
}

TEST(Studio3dsFile, NodeKindsAndLookups) {
    Studio3dsFixture f;
    f.material("m0");
    f.material("m1");
    Lib3dsMesh* mesh =
        f.mesh("tri", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 1}, {1, 2, 0}}, "m1");
    snprintf(mesh->faceL[1].material, sizeof mesh->faceL[1].material, "%s", "gone");
    mesh->faceL[2].material[0] = '\0';
    int meshNode = f.meshNode("tri");
    int dummy = f.dummyNode("helper");
    f.camera("cam", {0, -5, 0}, {0, 0, 0}, 45);
    f.omniLight("omni", {1, 1, 1});
    f.spotLight("spot", {0, 0, 5}, {0, 0, 0});
    std::unique_ptr<Studio3dsFile> file = saveAndOpen(f, "kinds");
    ASSERT_TRUE(file);
    file->eval(0);

    const std::vector<Studio3dsFace>& faces = file->meshes()[0].faces;
    ASSERT_EQ(faces.size(), 3u);
    EXPECT_EQ(faces[0].material, 1);
    EXPECT_EQ(faces[1].material, -1);
    EXPECT_EQ(faces[2].material, -1);
    const Studio3dsNode* n = file->nodeById(meshNode);
    ASSERT_TRUE(n);
    EXPECT_EQ(n->kind, Studio3dsNode::kMeshInstance);
    EXPECT_EQ(n->mesh, 0);
    EXPECT_EQ(file->nodeById(dummy)->mesh, -1);
    const Studio3dsNode* camera = file->nodeByName("cam", Studio3dsNode::kCamera);
    const Studio3dsNode* target = file->nodeByName("cam", Studio3dsNode::kCameraTarget);
    ASSERT_TRUE(camera && target);
    EXPECT_FLOAT_EQ(camera->position[1], -5);
    EXPECT_FLOAT_EQ(camera->fov, 45);
    // lib3ds gives both lights one node type; only the omni light's is an omnilight node.
    EXPECT_EQ(file->nodeByName("spot", Studio3dsNode::kOmnilight), nullptr);
    const Studio3dsNode* omni = file->nodeByName("omni", Studio3dsNode::kOmnilight);
    ASSERT_TRUE(omni);
    EXPECT_EQ(omni->light, file->lightByName("omni"));
    EXPECT_EQ(file->lightByName("none"), -1);
    int omniNodes = 0, others = 0;
    for (const Studio3dsNode& node : file->nodes())
        (node.kind == Studio3dsNode::kOmnilight ? omniNodes : others) += 1;
    EXPECT_EQ(omniNodes, 1);
    EXPECT_EQ(others, 6); // mesh, dummy, camera, target, spotlight, spot target
}

TEST(Studio3dsFile, FileWithoutNodesGetsOneNodePerMesh) {
    Studio3dsFixture f;
    f.box("a", {0, 0, 0}, {1, 1, 1}, "");
    f.triangles("b", 3, "", {5, 0, 0});
    FlattenedScene s;
    ASSERT_TRUE(s.build(f, "nonodes"));
    ASSERT_EQ(s.file->nodes().size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(s.file->nodes()[i].kind, Studio3dsNode::kMeshInstance);
        EXPECT_EQ(s.file->nodes()[i].mesh, i); // in mesh order
    }
    // Identity transforms: the geometry stays where the mesh has it.
    EXPECT_EQ(s.report.meshes, 2);
    EXPECT_FLOAT_EQ(s.texel(900002)[0], 5);
    EXPECT_FLOAT_EQ(s.texel(900003)[0], 10);
}

void expectNormal(const float* n, float x, float y, float z) {
    EXPECT_NEAR(n[0], x, 1e-5f);
    EXPECT_NEAR(n[1], y, 1e-5f);
    EXPECT_NEAR(n[2], z, 1e-5f);
}

// Three faces around the origin, each the quarter of a coordinate plane; at the
// origin each contributes its unit normal times a right angle.
std::vector<Studio3dsFace> cornerFaces(uint32_t w0, uint32_t w1, uint32_t w2) {
    std::vector<Studio3dsFace> faces(3);
    const uint32_t index[3][3] = {{0, 1, 2}, {0, 3, 1}, {0, 2, 3}}; // +z, +y, +x
    const uint32_t words[3] = {w0, w1, w2};
    for (int f = 0; f < 3; ++f) {
        std::copy(index[f], index[f] + 3, faces[f].index);
        faces[f].smoothing = words[f];
    }
    return faces;
}
const float kCornerPoints[] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};

TEST(Studio3dsNormals, WeightedByCornerAngleWithinWidenedSmoothingGroups) {
    // Angle weights: at the origin (0,0,pi/2) + (0,-pi/4,0); area weights would give (0,-1,1)/sqrt 2.
    std::vector<Studio3dsFace> two(2);
    two[0].index[0] = 0, two[0].index[1] = 1, two[0].index[2] = 2;
    two[1].index[0] = 0, two[1].index[1] = 1, two[1].index[2] = 3;
    two[0].smoothing = two[1].smoothing = 1;
    const float pointsAB[] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 0, 1};
    float n[27];
    calculateVertexNormals(two, pointsAB, 3, 4, n);
    const float r5 = 1 / std::sqrt(5.0f);
    expectNormal(n + 0, 0, -r5, 2 * r5);
    expectNormal(n + 9, 0, -r5, 2 * r5);
    expectNormal(n + 6, 0, 0, 1); // point 2 has face A alone

    // Two groups meeting at the origin: each sums its own group only.
    calculateVertexNormals(cornerFaces(1, 2, 1), kCornerPoints, 3, 4, n);
    const float h = std::sqrt(0.5f);
    expectNormal(n + 0, h, 0, h);
    expectNormal(n + 9, 0, 1, 0);
    expectNormal(n + 18, h, 0, h);
    // A chain 1, 3, 2: the first face widens to 3 and so takes in the third.
    calculateVertexNormals(cornerFaces(1, 3, 2), kCornerPoints, 3, 4, n);
    const float t = 1 / std::sqrt(3.0f);
    for (int f = 0; f < 3; ++f)
        expectNormal(n + 9 * f, t, t, t);
    // No group: each corner its own; a face without area gets the x axis.
    calculateVertexNormals(cornerFaces(0, 0, 0), kCornerPoints, 3, 4, n);
    expectNormal(n + 9, 0, 1, 0);
    const float flat[] = {0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 0, 1};
    calculateVertexNormals(cornerFaces(0, 0, 0), flat, 3, 4, n);
    expectNormal(n + 0, 1, 0, 0);
}

TEST(Studio3dsNormals, FollowThePlacedPointsUnderAnyTransform) {
    Studio3dsFixture f;
    f.mesh("ab", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 0, 1}}, {{0, 1, 2}, {0, 1, 3}}, "");
    std::unique_ptr<Studio3dsFile> file = saveAndOpen(f, "placednormals");
    ASSERT_TRUE(file);
    const Studio3dsMesh& mesh = file->meshes()[0];
    const float c = std::cos(0.7f), s = std::sin(0.7f);
    // Similarities (turned, scaled by 2, mirrored in x, moved) and one that is not (scaled 2, 1, 3).
    const float turned[4][4] = {{2 * c, 2 * s, 0, 0}, {-2 * s, 2 * c, 0, 0}, {0, 0, 2, 0}, {3, 4, 5, 1}};
    const float mirrored[4][4] = {{-c, -s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    const float stretched[4][4] = {{2 * c, 2 * s, 0, 0}, {-s, c, 0, 0}, {0, 0, 3, 0}, {3, 4, 5, 1}};
    for (auto transform : {turned, mirrored, stretched}) {
        std::vector<float> placed(4 * mesh.pointCount());
        transformPoints(mesh, transform, placed.data());
        float got[18], want[18];
        file->vertexNormals(0, transform, placed.data(), got);
        calculateVertexNormals(mesh.faces, placed.data(), 4, mesh.pointCount(), want);
        for (int i = 0; i < 18; ++i)
            EXPECT_NEAR(got[i], want[i], 2e-6f) << i;
        // Four floats per normal: the same values, the fourth lane left alone.
        std::vector<float> wide(24, -7.0f);
        file->vertexNormals(0, transform, placed.data(), wide.data(), 4);
        for (int i = 0; i < 24; ++i)
            EXPECT_EQ(wide[i], i % 4 == 3 ? -7.0f : got[i / 4 * 3 + i % 4]) << i;
    }
    // The worked value, turned: (0, -1, 2) / sqrt 5 about z by 0.7.
    std::vector<float> placed(4 * mesh.pointCount());
    transformPoints(mesh, turned, placed.data());
    float n[18];
    file->vertexNormals(0, turned, placed.data(), n);
    const float r5 = 1 / std::sqrt(5.0f);
    expectNormal(n, s * r5, -c * r5, 2 * r5);
}

TEST(Studio3dsFileOpen, RefusesFacesNamingPointsBeyondTheMesh) {
    Studio3dsFixture f;
    f.mesh("broken", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 1, 60000}}, "");
    f.meshNode("broken");
    CaptureStderr();
    std::unique_ptr<Studio3dsFile> file = saveAndOpen(f, "outside"); // lib3ds alone crashes here
    std::string errors = GetCapturedStderr();
    EXPECT_FALSE(file);
    EXPECT_NE(errors.find("ERROR: "), std::string::npos);
    EXPECT_NE(errors.find("mesh broken: face 1 names point 60000 of 3"), std::string::npos) << errors;
}

TEST(Studio3dsFileOpen, MissingGarbageAndTruncatedFiles) {
    std::string dir = makeScratchDir("garbage");
    EXPECT_EQ(Studio3dsFile::open((dir + "/none.3ds").c_str()), nullptr);
    ASSERT_TRUE(writeFile(dir + "/text.3ds", "this is not a 3D Studio file"));
    EXPECT_EQ(Studio3dsFile::open((dir + "/text.3ds").c_str()), nullptr);

    Studio3dsFixture f;
    f.material("m0", "wood.bmp");
    f.sphere("ball", {0, 0, 0}, 1, "m0");
    f.meshNode("ball");
    f.camera("cam", {0, -5, 0}, {0, 0, 0}, 45);
    ASSERT_TRUE(f.save(dir + "/whole.3ds"));
    std::string bytes = readBytes(dir + "/whole.3ds");
    ASSERT_GT(bytes.size(), 100u);
    // Every cut of the file is read without fault (the sanitizer build checks the reads).
    CaptureStderr(); // one error line per cut
    for (size_t cut = 0; cut < bytes.size(); cut += 7) {
        const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
        scanStudio3dsChunks(data, cut);
        ASSERT_TRUE(writeFile(dir + "/cut.3ds", bytes.substr(0, cut)));
        Studio3dsFile::open((dir + "/cut.3ds").c_str());
    }
    GetCapturedStderr();
    Studio3dsChunkScan whole =
        scanStudio3dsChunks(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    EXPECT_EQ(whole.fault, "");
    EXPECT_EQ(whole.cameraNames, std::vector<std::string>{"cam"});
}

// Patches a saved file and expects the adapter to refuse it with `fault`, where
// lib3ds alone would loop or recurse without end.
void expectRefused(const std::string& dir, std::string bytes, const std::string& fault) {
    ASSERT_TRUE(writeFile(dir + "/patched.3ds", bytes));
    CaptureStderr();
    std::unique_ptr<Studio3dsFile> file = Studio3dsFile::open((dir + "/patched.3ds").c_str());
    std::string errors = GetCapturedStderr();
    EXPECT_EQ(file, nullptr);
    EXPECT_NE(errors.find(fault), std::string::npos) << errors;
}

size_t chunkAt(const std::string& bytes, const std::string& idAndMore) {
    size_t at = bytes.find(idAndMore);
    EXPECT_NE(at, std::string::npos);
    return at;
}

TEST(Studio3dsFileOpen, RefusesFilesLib3dsWouldNeverFinishReading) {
    Studio3dsFixture f;
    f.material("m0");
    f.box("ball", {0, 0, 0}, {1, 1, 1}, "m0");
    f.meshNode("ball");
    std::string dir = makeScratchDir("loops");
    ASSERT_TRUE(f.save(dir + "/whole.3ds"));
    const std::string whole = readBytes(dir + "/whole.3ds");
    ASSERT_TRUE(Studio3dsFile::open((dir + "/whole.3ds").c_str()));

    // The first chunk inside a material's ambient colour with length 0: lib3ds reads
    // it again and again. The read is abandoned, and the material lib3ds was reading
    // is lost with it.
    std::string bytes = whole;
    size_t material = chunkAt(bytes, std::string("\xFF\xAF", 2));
    size_t ambient = bytes.find(std::string("\x10\xA0", 2), material);
    ASSERT_NE(ambient, std::string::npos);
    bytes.replace(ambient + 8, 4, std::string(4, '\0'));
    {
#ifdef __SANITIZE_ADDRESS__
        __lsan::ScopedDisabler lostMaterial;
#endif
        expectRefused(dir, bytes, "a chunk of length 0");
    }

    // A node whose parent is itself (node id 0, parent 0).
    bytes = whole;
    size_t header = chunkAt(bytes, std::string("\x10\xB0\x11\x00\x00\x00"
                                               "ball",
                                               10)); // node header, 17 bytes
    bytes.replace(header + 6 + 5 + 4, 2, std::string(2, '\0'));
    expectRefused(dir, bytes, "a node is its own ancestor");

    // A position track claiming millions of keys.
    bytes = whole;
    size_t track = chunkAt(bytes, std::string("\x20\xB0", 2));
    bytes.replace(track + 6 + 10, 4, std::string("\xFF\xFF\xFF\x00", 4));
    expectRefused(dir, bytes, "claims more keys");
}

// lib3ds's chunk reader keeps a fixed nesting string that only finished reads
// unwind: broken files opened one after another once overflowed it and aborted.
TEST(Studio3dsFileOpen, ManyBrokenFilesLeaveLaterFilesReadable) {
    Studio3dsFixture f;
    f.material("m0");
    f.box("ball", {0, 0, 0}, {1, 1, 1}, "m0");
    f.meshNode("ball");
    std::string dir = makeScratchDir("many-broken");
    ASSERT_TRUE(f.save(dir + "/whole.3ds"));
    std::string bytes = readBytes(dir + "/whole.3ds");
    size_t ambient = bytes.find(std::string("\x10\xA0", 2), chunkAt(bytes, std::string("\xFF\xAF", 2)));
    ASSERT_NE(ambient, std::string::npos);
    bytes.replace(ambient + 8, 4, std::string(4, '\0')); // lib3ds gives up on it mid-read
    ASSERT_TRUE(writeFile(dir + "/broken.3ds", bytes));
    CaptureStderr();
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(Studio3dsFile::open((dir + "/broken.3ds").c_str()), nullptr);
        std::unique_ptr<Studio3dsFile> whole = Studio3dsFile::open((dir + "/whole.3ds").c_str());
        ASSERT_TRUE(whole);
        EXPECT_EQ(whole->countFaces(), 12);
    }
    std::string errors = GetCapturedStderr();
    EXPECT_NE(errors.find("broken.3ds: a chunk of length 0"), std::string::npos) << errors.substr(0, 200);
}

} // namespace
