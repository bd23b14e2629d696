#include "scene/Studio3dsFile.h"
#include "scene/Studio3dsChunks.h"
#include "support/FlattenedScene.h"
#include "support/Studio3dsFixtures.h"
#include "support/TestPaths.h"

#include <lib3ds/camera.h>
#include <lib3ds/file.h>
#include <lib3ds/matrix.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>
#include <lib3ds/vector.h>

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
    return std::unique_ptr<Studio3dsFile>(Studio3dsFile::open(path.c_str()));
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
    ASSERT_STREQ(s.file->raw()->cameras->name, "Aerial"); // lib3ds lists them by name
    ASSERT_EQ(s.file->cameraCount(), 2);
    EXPECT_STREQ(s.file->camera(0)->name, "Zoom");
    EXPECT_STREQ(s.file->camera(1)->name, "Aerial");
    EXPECT_FLOAT_EQ(s.report.camera.position[1], -10);
    EXPECT_FLOAT_EQ(s.report.camera.fov, 45);
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

    EXPECT_EQ(file->faceMaterials(0), (std::vector<int>{1, -1, -1}));
    Lib3dsNode* n = file->nodeById(meshNode);
    ASSERT_TRUE(n);
    EXPECT_EQ(file->kind(n), Studio3dsFile::kMeshInstanceNode);
    EXPECT_EQ(file->meshOfNode(n), 0);
    EXPECT_EQ(file->meshOfNode(file->nodeById(dummy)), -1);
    Lib3dsNode* camera = file->nodeByName("cam", Studio3dsFile::kCameraNode);
    Lib3dsNode* target = file->nodeByName("cam", Studio3dsFile::kCameraTargetNode);
    ASSERT_TRUE(camera && target);
    EXPECT_NE(camera, target);
    EXPECT_EQ(file->kind(target), Studio3dsFile::kCameraTargetNode);
    // lib3ds gives both lights one node type; only the omni light's is an omnilight node.
    EXPECT_EQ(file->nodeByName("spot", Studio3dsFile::kOmnilightNode), nullptr);
    Lib3dsNode* omni = file->nodeByName("omni", Studio3dsFile::kOmnilightNode);
    ASSERT_TRUE(omni);
    EXPECT_EQ(file->light(file->lightByName("omni")), file->light(file->lightByName(omni->name)));
    EXPECT_EQ(file->lightByName("none"), -1);
    int omniNodes = 0, others = 0;
    for (Lib3dsNode* node = file->firstNode(); node; node = node->next)
        (file->kind(node) == Studio3dsFile::kOmnilightNode ? omniNodes : others) += 1;
    EXPECT_EQ(omniNodes, 1);
    EXPECT_EQ(others, 6); // mesh, dummy, camera, target, spotlight, spot target
}

TEST(Studio3dsFile, FileWithoutNodesGetsOneNodePerMesh) {
    Studio3dsFixture f;
    f.box("a", {0, 0, 0}, {1, 1, 1}, "");
    f.triangles("b", 3, "", {5, 0, 0});
    FlattenedScene s;
    ASSERT_TRUE(s.build(f, "nonodes"));
    int meshNodes = 0;
    for (Lib3dsNode* n = s.file->firstNode(); n; n = n->next)
        meshNodes += s.file->kind(n) == Studio3dsFile::kMeshInstanceNode && s.file->meshOfNode(n) >= 0;
    EXPECT_EQ(meshNodes, 2);
    // Identity transforms: the geometry stays where the mesh has it.
    EXPECT_EQ(s.report.meshes, 2);
    EXPECT_FLOAT_EQ(s.texel(900002)[0], 5);
    EXPECT_FLOAT_EQ(s.texel(900003)[0], 10);
}

// Two faces meeting at a right angle along the x axis: face 0 faces +z, face 1 +y.
std::unique_ptr<Studio3dsFile> openRightAngle(unsigned secondGroup, const std::string& name) {
    Studio3dsFixture f;
    Lib3dsMesh* m = f.mesh("roof", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 1, 2}, {0, 3, 1}}, "");
    m->faceL[1].smoothing = secondGroup;
    return saveAndOpen(f, name);
}

void expectNormal(const float* n, float x, float y, float z) {
    EXPECT_NEAR(n[0], x, 1e-5f);
    EXPECT_NEAR(n[1], y, 1e-5f);
    EXPECT_NEAR(n[2], z, 1e-5f);
}

TEST(Studio3dsFileNormals, SmoothingGroupsShareCornerNormals) {
    float identity[4][4];
    lib3ds_matrix_identity(identity);
    float n[18];
    std::unique_ptr<Studio3dsFile> smooth = openRightAngle(1, "smooth");
    ASSERT_TRUE(smooth);
    smooth->vertexNormals(0, identity, n);
    const float h = std::sqrt(0.5f);
    expectNormal(n + 0, 0, h, h);  // shared point 0
    expectNormal(n + 3, 0, h, h);  // shared point 1
    expectNormal(n + 6, 0, 0, 1);  // point 2, face 0 only
    expectNormal(n + 12, 0, 1, 0); // point 3, face 1 only

    std::unique_ptr<Studio3dsFile> flat = openRightAngle(2, "flat");
    ASSERT_TRUE(flat);
    flat->vertexNormals(0, identity, n);
    for (int c = 0; c < 3; ++c)
        expectNormal(n + 3 * c, 0, 0, 1);
    for (int c = 3; c < 6; ++c)
        expectNormal(n + 3 * c, 0, 1, 0);
}

TEST(Studio3dsFileNormals, FollowTheTransformedPoints) {
    std::unique_ptr<Studio3dsFile> file = openRightAngle(1, "transformed");
    ASSERT_TRUE(file);
    float m[4][4];
    lib3ds_matrix_identity(m);
    lib3ds_matrix_translate_xyz(m, 3, 4, 5);
    lib3ds_matrix_rotate_z(m, 0.7f);
    lib3ds_matrix_scale_xyz(m, 2, 1, 3);
    float n[18];
    file->vertexNormals(0, m, n);

    // Reference: the area-weighted sum at point 0, from the transformed points.
    Lib3dsMesh* mesh = file->mesh(0);
    Lib3dsVector p[4];
    for (int i = 0; i < 4; ++i)
        lib3ds_vector_transform(p[i], m, mesh->pointL[i].pos);
    Lib3dsVector e1, e2, a, b, sum;
    lib3ds_vector_sub(e1, p[2], p[1]);
    lib3ds_vector_sub(e2, p[0], p[1]);
    lib3ds_vector_cross(a, e1, e2);
    lib3ds_vector_sub(e1, p[1], p[3]);
    lib3ds_vector_sub(e2, p[0], p[3]);
    lib3ds_vector_cross(b, e1, e2);
    lib3ds_vector_add(sum, a, b);
    lib3ds_vector_normalize(sum);
    expectNormal(n, sum[0], sum[1], sum[2]);
    lib3ds_vector_normalize(a);
    expectNormal(n + 6, a[0], a[1], a[2]);
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
    for (size_t cut = 0; cut < bytes.size(); cut += 7) {
        const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
        scanStudio3dsChunks(data, cut);
        ASSERT_TRUE(writeFile(dir + "/cut.3ds", bytes.substr(0, cut)));
        delete Studio3dsFile::open((dir + "/cut.3ds").c_str());
    }
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
    Studio3dsFile* file = Studio3dsFile::open((dir + "/patched.3ds").c_str());
    std::string errors = GetCapturedStderr();
    EXPECT_EQ(file, nullptr);
    delete file;
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
    ASSERT_TRUE(std::unique_ptr<Studio3dsFile>(Studio3dsFile::open((dir + "/whole.3ds").c_str())));

    // A material's first chunk with length 0: lib3ds reads it again and again. The
    // read is abandoned, and the material lib3ds was reading is lost with it.
    std::string bytes = whole;
    size_t material = chunkAt(bytes, std::string("\xFF\xAF", 2));
    bytes.replace(material + 8, 4, std::string(4, '\0'));
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

} // namespace
