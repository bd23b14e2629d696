// The model optimizer (tools/optimizer): faces reordered, the picture unchanged.
// What the ray tracer receives from the rewritten file, read through the inspector,
// holds the original's triangles as a set (normals within float rounding: vertex
// normals are sums taken in face order); everything but the face arrays keeps its
// bytes; and the tests per ray never rise.
#include "core/Inspector.h"
#include "core/Studio3dsFile.h"
#include "support/Studio3dsFixtures.h"
#include "support/TestPaths.h"
#include "tools/optimizer/FaceArrays.h"
#include "tools/optimizer/Optimize.h"

#include <lib3ds/mesh.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <sstream>
#include <tuple>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool saveFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    return writeFile(path, std::string(bytes.begin(), bytes.end()));
}

// The inspector's output of a file at one frame, split the way a reordering may
// change it: triangles as a sorted list of records, group boxes only counted, and
// every other line as it is.
struct Inspected {
    std::vector<std::vector<double>> triangles; // 32 floats each
    size_t volumeLines = 0;
    std::vector<std::string> rest; // header, materials, lights, meshes, camera
};

Inspected inspect(const std::string& path, int frame) {
    CaptureStdout();
    int status = runInspector(path.c_str(), frame);
    std::istringstream out(GetCapturedStdout());
    Inspected result;
    EXPECT_EQ(status, 0) << path;
    std::vector<double> record;
    for (std::string line; std::getline(out, line);) {
        std::istringstream fields(line);
        std::string texel, region;
        fields >> texel >> region;
        if (region == "triangle") {
            for (double v; fields >> v;)
                record.push_back(v);
            if (record.size() == 32) {
                result.triangles.push_back(record);
                record.clear();
            }
        } else if (region == "volume") {
            ++result.volumeLines;
        } else {
            result.rest.push_back(line);
        }
    }
    EXPECT_TRUE(record.empty()) << "a triangle record cut short";
    std::sort(result.triangles.begin(), result.triangles.end());
    return result;
}

// Points, edges, materials and texture coordinates exactly; the three normals
// (texels 3 to 5) to float rounding.
void expectSameTriangles(const Inspected& a, const Inspected& b) {
    ASSERT_EQ(a.triangles.size(), b.triangles.size());
    auto exactPart = [](const std::vector<double>& t) {
        std::vector<double> key(t.begin(), t.begin() + 12);
        key.insert(key.end(), t.begin() + 24, t.end());
        return key;
    };
    std::vector<std::vector<double>> left = a.triangles, right = b.triangles;
    auto byExact = [&](const std::vector<double>& x, const std::vector<double>& y) {
        return std::make_tuple(exactPart(x), x) < std::make_tuple(exactPart(y), y);
    };
    std::sort(left.begin(), left.end(), byExact);
    std::sort(right.begin(), right.end(), byExact);
    int differing = 0;
    for (size_t t = 0; t < left.size() && differing < 5; ++t) {
        bool same = exactPart(left[t]) == exactPart(right[t]);
        for (int i = 12; i < 24; ++i)
            same = same && std::fabs(left[t][i] - right[t][i]) <= 1e-5;
        differing += !same;
        EXPECT_TRUE(same) << "triangle " << t << " of the sorted records differs";
    }
}

void expectSamePicture(const std::string& original, const std::string& rewritten, int frame) {
    SCOPED_TRACE("frame " + std::to_string(frame));
    Inspected before = inspect(original, frame), after = inspect(rewritten, frame);
    expectSameTriangles(before, after);
    EXPECT_EQ(before.volumeLines, after.volumeLines);
    EXPECT_EQ(before.rest, after.rest); // the camera line among them
}

// Bytes outside the face arrays' records and their material group and smoothing
// chunks are the original's: nothing else was touched, nothing lost.
void expectOnlyFaceArraysChanged(const std::vector<unsigned char>& before,
                                 const std::vector<unsigned char>& after) {
    ASSERT_EQ(before.size(), after.size());
    std::vector<optimizer::MeshFaces> meshes;
    ASSERT_EQ(optimizer::findMeshFaces(before, meshes), "");
    std::vector<bool> mayChange(before.size(), false);
    for (const optimizer::MeshFaces& m : meshes) {
        std::fill_n(mayChange.begin() + m.faces, 8 * size_t(m.faceCount), true);
        for (size_t at : m.smoothing)
            std::fill_n(mayChange.begin() + at, 4 * size_t(m.faceCount), true);
        for (size_t at : m.materialGroups) {
            size_t n = at;
            while (before[n])
                ++n;
            std::fill_n(mayChange.begin() + n + 3, 2 * size_t(optimizer::readWord(&before[n + 1])), true);
        }
    }
    size_t changed = 0;
    for (size_t i = 0; i < before.size(); ++i)
        if (!mayChange[i] && before[i] != after[i] && ++changed < 4)
            ADD_FAILURE() << "byte " << i << " outside the face arrays changed";
    EXPECT_EQ(changed, 0u);
}

// Each face with its corners, material and smoothing, as the adapter reads them.
std::vector<std::tuple<uint32_t, uint32_t, uint32_t, int, uint32_t>> faceSet(const std::string& path) {
    std::unique_ptr<Studio3dsFile> file(Studio3dsFile::open(path.c_str()));
    std::vector<std::tuple<uint32_t, uint32_t, uint32_t, int, uint32_t>> faces;
    if (!file)
        return faces;
    for (const Studio3dsMesh& mesh : file->meshes())
        for (const Studio3dsFace& f : mesh.faces)
            faces.emplace_back(f.index[0], f.index[1], f.index[2], f.material, f.smoothing);
    std::sort(faces.begin(), faces.end());
    return faces;
}

// A bumpy 24 x 24 grid whose faces are stored out of spatial order, with two
// materials, three smoothing groups and flat faces, texture coordinates, moved by
// keyframes, under a keyframed camera and a light; plus a chunk no reader knows.
std::string writeScrambledScene(const std::string& path) {
    Studio3dsFixture f;
    f.setFrames(20);
    f.material("m0", "", -1.0f, {0.8f, 0.2f, 0.2f});
    f.material("m1", "", -1.0f, {0.2f, 0.2f, 0.8f});
    const int n = 24;
    std::vector<Studio3dsFixture::Vec3> points;
    std::vector<Studio3dsFixture::Uv> uvs;
    for (int y = 0; y <= n; ++y)
        for (int x = 0; x <= n; ++x) {
            points.push_back({float(x), float(y), 0.25f * float((x * 7 + y * 3) % 5)});
            uvs.push_back({float(x) / n, float(y) / n});
        }
    std::vector<Studio3dsFixture::Tri> grid;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            int a = y * (n + 1) + x, b = a + 1, c = a + n + 1, d = c + 1;
            grid.push_back({a, b, d});
            grid.push_back({a, d, c});
        }
    // 97 is prime to the 1152 faces: a permutation that scatters neighbours.
    std::vector<Studio3dsFixture::Tri> scrambled(grid.size());
    for (size_t i = 0; i < grid.size(); ++i)
        scrambled[i] = grid[(i * 97) % grid.size()];
    Lib3dsMesh* mesh = f.mesh("bumps", points, scrambled, "m0", uvs);
    for (size_t i = 0; i < scrambled.size(); ++i) {
        int x = scrambled[i][0] % (n + 1);
        if (x >= n / 2)
            snprintf(mesh->faceL[i].material, sizeof mesh->faceL[i].material, "m1");
        mesh->faceL[i].smoothing = x < 8 ? 1u : x < 16 ? 2u : (i % 3 ? 4u : 0u);
        mesh->faceL[i].flags = uint16_t(i % 8);
    }
    int node = f.meshNode("bumps");
    f.positionKey(node, 10, {3, -2, 1});
    f.rotationKey(node, 10, {0, 0, 1}, 0.5f);
    f.camera("cam", {12, -30, 20}, {12, 12, 0}, 45.0f);
    const int camera = f.lastNodeId() - 1; // then its target node
    f.positionKey(camera, 20, {20, -25, 15});
    f.omniLight("lamp", {12, 12, 30});
    if (!f.save(path))
        return "";
    // A chunk of no known kind at the end of the main chunk: readers skip it.
    std::vector<unsigned char> bytes = readFile(path);
    const std::string note = "kept as it is";
    const uint32_t noteLength = uint32_t(6 + note.size());
    bytes.push_back(0x01);
    bytes.push_back(0x7F);
    for (int i = 0; i < 4; ++i)
        bytes.push_back(uint8_t(noteLength >> (8 * i)));
    bytes.insert(bytes.end(), note.begin(), note.end());
    optimizer::writeDword(&bytes[2], uint32_t(bytes.size()));
    return saveFile(path, bytes) ? path : "";
}

TEST(ModelOptimizer, ScrambledSceneKeepsItsPictureMaterialsSmoothingAndKeyframes) {
    const std::string dir = makeScratchDir("optimizer_scrambled");
    const std::string original = writeScrambledScene(dir + "/scrambled.3ds");
    ASSERT_FALSE(original.empty());
    std::vector<unsigned char> before = readFile(original), after = before;
    optimizer::OptimizeResult result = optimizer::optimizeFaceOrder(after);
    ASSERT_EQ(result.fault, "");
    ASSERT_EQ(result.meshes.size(), 1u);
    const optimizer::MeshReport& m = result.meshes[0];
    EXPECT_TRUE(m.reordered) << m.keptBecause;
    EXPECT_EQ(m.faces, 1152);
    EXPECT_EQ(m.before.groups, 45); // 1152 / 26 + 1
    EXPECT_EQ(m.after.groups, m.before.groups);
    EXPECT_EQ(m.after.boxTests, m.before.boxTests);
    // Scattered faces give every group box nearly the whole grid; sorted ones, a patch.
    EXPECT_LT(m.after.triangleTests, m.before.triangleTests / 3)
        << m.before.triangleTests << " before, " << m.after.triangleTests << " after";

    const std::string rewritten = dir + "/sorted.3ds";
    ASSERT_TRUE(saveFile(rewritten, after));
    EXPECT_NE(before, after);
    expectOnlyFaceArraysChanged(before, after);
    const std::string tail = "kept as it is";
    EXPECT_TRUE(std::equal(tail.rbegin(), tail.rend(), after.rbegin()));
    EXPECT_EQ(faceSet(original), faceSet(rewritten));
    EXPECT_EQ(faceSet(original).size(), 1152u);
    for (int frame : {0, 7, 20})
        expectSamePicture(original, rewritten, frame);
}

TEST(ModelOptimizer, TheShowsModelsKeepTheirTrianglesAndNeedNoMoreTestsPerRay) {
    const std::string dir = makeScratchDir("optimizer_show");
    ASSERT_EQ(runCommand(std::string("'") + MODELS_TOOL + "' '" + dir + "' >/dev/null"), 0);
    for (const char* name : {"intro.3ds", "spheres.3ds", "ull1.3ds", "test9.3ds", "info.3ds"}) {
        SCOPED_TRACE(name);
        const std::string original = dir + "/" + name, rewritten = dir + "/sorted-" + name;
        std::vector<unsigned char> before = readFile(original), after = before;
        optimizer::OptimizeResult result = optimizer::optimizeFaceOrder(after);
        ASSERT_EQ(result.fault, "");
        ASSERT_FALSE(result.meshes.empty());
        for (const optimizer::MeshReport& m : result.meshes) {
            EXPECT_LE(m.after.tests(), m.before.tests()) << m.name;
            EXPECT_EQ(m.after.groups, m.before.groups) << m.name;
        }
        ASSERT_TRUE(saveFile(rewritten, after));
        expectOnlyFaceArraysChanged(before, after);
        expectSamePicture(original, rewritten, 30);
    }
}

// The program: one "ERROR: " line and status 1 for a broken file, and no output
// file, not even a partial one; a good file is written whole.
TEST(ModelOptimizer, ToolRefusesBrokenFilesAndWritesOnlyWholeOnes) {
    const std::string dir = makeScratchDir("optimizer_tool");
    const std::string good = writeScrambledScene(dir + "/good.3ds");
    ASSERT_FALSE(good.empty());
    std::vector<unsigned char> bytes = readFile(good);
    const std::string tool = OPTIMIZER_TOOL;

    std::vector<unsigned char> truncated(bytes.begin(), bytes.begin() + bytes.size() / 2);
    std::vector<optimizer::MeshFaces> meshes;
    ASSERT_EQ(optimizer::findMeshFaces(bytes, meshes), "");
    std::vector<unsigned char> badPoint = bytes;
    optimizer::writeWord(&badPoint[meshes[0].faces + 8 * 5], 60000); // face 5 names point 60000
    const std::vector<std::pair<std::string, std::vector<unsigned char>>> broken = {
        {"truncated", truncated}, {"bad-point", badPoint}, {"empty", {}}, {"text", {'h', 'i', '\n'}}};
    for (const auto& [name, content] : broken) {
        SCOPED_TRACE(name);
        const std::string in = dir + "/" + name + ".3ds", out = dir + "/" + name + "-out.3ds";
        ASSERT_TRUE(saveFile(in, content));
        int status =
            runCommand("'" + tool + "' '" + in + "' '" + out + "' >" + dir + "/stdout 2>" + dir + "/stderr");
        EXPECT_EQ(status, 1);
        std::vector<unsigned char> err = readFile(dir + "/stderr");
        std::string text(err.begin(), err.end());
        EXPECT_EQ(text.rfind("ERROR: ", 0), 0u) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        EXPECT_FALSE(std::ifstream(out).good()) << "an output file was written";
    }
    EXPECT_EQ(runCommand("'" + tool + "' '" + dir + "/missing.3ds' '" + dir + "/x.3ds' 2>/dev/null"), 1);

    const std::string out = dir + "/good-out.3ds";
    ASSERT_EQ(runCommand("'" + tool + "' '" + good + "' '" + out + "' >" + dir + "/stdout"), 0);
    std::vector<unsigned char> report = readFile(dir + "/stdout");
    std::string text(report.begin(), report.end());
    EXPECT_NE(text.find("bumps: 1152 faces in 45 groups; tests per ray:"), std::string::npos) << text;
    EXPECT_NE(text.find("reordered"), std::string::npos) << text;
    std::vector<unsigned char> expected = bytes;
    optimizer::optimizeFaceOrder(expected);
    EXPECT_TRUE(readFile(out) == expected);
    EXPECT_EQ(runCommand("ls '" + dir + "' | grep -q partial"), 1) << "a temporary file was left behind";
}

} // namespace
