#include "core/ObjReader.h"
#include "support/GuardedBuffer.h"
#include "support/TestPaths.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

void freeMesh(ObjMesh* m) {
    if (!m)
        return;
    free(m->vertexData);
    free(m->normalData);
    free(m->texCoordData);
    free(m->faceData);
    free(m);
}
using Mesh = std::unique_ptr<ObjMesh, decltype(&freeMesh)>;

// Parses from a guarded buffer without a terminator: a read past the length crashes.
Mesh parse(const std::string& text, int length = -1) {
    GuardedBuffer buffer(text);
    return Mesh(parseObj(buffer.text(), length < 0 ? static_cast<int>(text.size()) : length), freeMesh);
}

std::vector<float> floats(const float* data, int count) {
    return std::vector<float>(data, data + count);
}
std::vector<int> ints(const int (&v)[3]) {
    return {v[0], v[1], v[2]};
}

TEST(ObjReader, CountsOnlyTheFourKindsAndKeepsFileOrderPerKind) {
    Mesh m = parse("# a comment v 9 9 9\n"
                   "mtllib a.mtl\no cube\ng side\ns 1\nusemtl red\n\n"
                   "v 1 2 3\nvn 0 0 1\nvt 0.5 0.25\nv 4 5 6\n"
                   "vp 7 8\n" // begins with "v": read as a position
                   "vn 0 1 0\nf 1/1/1 2/1/2 3/1/1\n");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->vertexCount, 3);
    EXPECT_EQ(m->normalCount, 2);
    EXPECT_EQ(m->texCoordCount, 1);
    EXPECT_EQ(m->faceCount, 1);
    EXPECT_EQ(floats(m->vertexData, 9), (std::vector<float>{1, 2, 3, 4, 5, 6, 0, 0, 0}));
    EXPECT_EQ(floats(m->normalData, 6), (std::vector<float>{0, 0, 1, 0, 1, 0}));
    EXPECT_EQ(floats(m->texCoordData, 2), (std::vector<float>{0.5f, 0.25f}));
}

TEST(ObjReader, FaceCornersSplitIntoPositionTexCoordAndNormal) {
    Mesh m = parse("f 1/2/3 4/5/6 7/8/9\n"
                   "f 1/2/3 4/5/6 7/8/9 10/11/12\n" // a quad keeps its first three corners
                   "f 1//3 4//6 7//9\n");           // no texture coordinate: stops after 1
    ASSERT_TRUE(m);
    ASSERT_EQ(m->faceCount, 3);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(ints(m->faceData[i].vertexIndex), (std::vector<int>{1, 4, 7})) << i;
        EXPECT_EQ(ints(m->faceData[i].texCoordIndex), (std::vector<int>{2, 5, 8})) << i;
        EXPECT_EQ(ints(m->faceData[i].normalIndex), (std::vector<int>{3, 6, 9})) << i;
    }
    EXPECT_EQ(ints(m->faceData[2].vertexIndex), (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(ints(m->faceData[2].texCoordIndex), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(ints(m->faceData[2].normalIndex), (std::vector<int>{0, 0, 0}));
}

TEST(ObjReader, ValuesComeOnlyFromTheirOwnLineWithinTheLength) {
    // A short line does not borrow numbers from the next one.
    Mesh m = parse("v 1 2\n3 4 5\nvt 7\n8\n");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->vertexCount, 1);
    EXPECT_EQ(floats(m->vertexData, 3), (std::vector<float>{1, 2, 0}));
    EXPECT_EQ(floats(m->texCoordData, 2), (std::vector<float>{7, 0}));

    // The last line has no line feed and the buffer no terminator; with a length
    // one short of the text, the final digit is not part of the line.
    const std::string text = "v 1 2 3\r\nv 4 5 67";
    Mesh whole = parse(text);
    ASSERT_TRUE(whole);
    EXPECT_EQ(floats(whole->vertexData, 6), (std::vector<float>{1, 2, 3, 4, 5, 67}));
    Mesh cut = parse(text, static_cast<int>(text.size()) - 1);
    ASSERT_TRUE(cut);
    EXPECT_EQ(floats(cut->vertexData, 6), (std::vector<float>{1, 2, 3, 4, 5, 6}));
}

TEST(ObjReader, EmptyTextGivesZeroCounts) {
    for (int length : {0, -5}) {
        Mesh m = parse("", length);
        ASSERT_TRUE(m);
        EXPECT_EQ(m->vertexCount + m->normalCount + m->texCoordCount + m->faceCount, 0);
    }
}

TEST(ObjReader, ReadsRegularFilesOnly) {
    std::string dir = makeScratchDir("obj");
    const std::string content = "v 1 2 3\nf 1/1/1 1/1/1 1/1/1";
    ASSERT_TRUE(writeFile(dir + "/m.obj", content));
    char* text = nullptr;
    int length = readObjFile((dir + "\\m.obj").c_str(), &text); // data name, mapped
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(length, static_cast<int>(content.size()));
    EXPECT_EQ(std::string(text), content);
    Mesh m(parseObj(text, length), freeMesh);
    free(text);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->vertexCount, 1);
    EXPECT_EQ(m->faceCount, 1);

    for (std::string path : {dir + "/missing.obj", dir}) {
        char* untouched = reinterpret_cast<char*>(&length);
        text = untouched;
        EXPECT_EQ(readObjFile(path.c_str(), &text), 0) << path;
        EXPECT_EQ(text, untouched) << path;
    }
}

} // namespace
