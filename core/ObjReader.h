#pragma once

// A minimal Wavefront OBJ reader: positions, normals, texture coordinates and
// triangles with all three indices per corner. No GL; nothing is printed.
// No scene of the show reads OBJ files: only its unit test and its fuzz target use it.

// One triangle; indices as written in the file (1-based, unchecked).
struct ObjFace {
    int vertexIndex[3];
    int normalIndex[3];
    int texCoordIndex[3];
};

// Allocated with calloc, as are its arrays; the caller frees all five with free().
struct ObjMesh {
    int vertexCount;
    int normalCount;
    int texCoordCount;
    int faceCount;
    float* vertexData;   // vertexCount x (x, y, z)
    float* normalData;   // normalCount x (x, y, z)
    float* texCoordData; // texCoordCount x (u, v)
    ObjFace* faceData;
};

// Reads a whole regular file (a data name is mapped to its path) into a malloc'd,
// NUL-terminated buffer stored in *text, even when the file is empty. Returns the
// number of bytes read; 0 when the file cannot be read, and then *text is not
// written.
int readObjFile(const char* path, char** text);

// Parses `length` bytes of `text`, which need not be NUL-terminated. Lines start
// with "vn", "vt", "v" or "f" (tested in that order); other lines are skipped, and
// values a line does not supply stay 0. Returns nullptr when memory runs out.
ObjMesh* parseObj(const char* text, int length);
