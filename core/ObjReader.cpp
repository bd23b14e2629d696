#include "core/ObjReader.h"

#include "core/DataPath.h"
#include "core/ReadWholeFile.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Keeps the byte count within the int the interface returns.
const size_t kMaxObjFileBytes = INT_MAX - 1;

enum LineKind { kNormal, kTexCoord, kVertex, kFace, kOther };

LineKind kindOf(const char* line, const char* end) {
    size_t n = static_cast<size_t>(end - line);
    if (n >= 2 && line[0] == 'v' && line[1] == 'n')
        return kNormal;
    if (n >= 2 && line[0] == 'v' && line[1] == 't')
        return kTexCoord;
    if (n >= 1 && line[0] == 'v')
        return kVertex;
    if (n >= 1 && line[0] == 'f')
        return kFace;
    return kOther;
}

// Calls visit(kind, lineStart, lineEnd) for each line of text[0, length); the line
// feed is not part of the line, and a last line without one ends at the length.
template <typename Visit> void forEachLine(const char* text, int length, Visit visit) {
    const char* end = text + length;
    for (const char* line = text; line < end;) {
        const char* feed = static_cast<const char*>(memchr(line, '\n', static_cast<size_t>(end - line)));
        const char* lineEnd = feed ? feed : end;
        visit(kindOf(line, lineEnd), line, lineEnd);
        line = feed ? feed + 1 : end;
    }
}

void freeMesh(ObjMesh* mesh) {
    free(mesh->vertexData);
    free(mesh->normalData);
    free(mesh->texCoordData);
    free(mesh->faceData);
    free(mesh);
}

// calloc checks count x size for overflow; an empty array may be null.
bool allocate(void** array, int count, size_t itemBytes) {
    if (count == 0)
        return true;
    *array = calloc(static_cast<size_t>(count), itemBytes);
    return *array != nullptr;
}

void parseLine(ObjMesh* mesh, int* filled, LineKind kind, const char* line) {
    switch (kind) {
    case kNormal: {
        float* n = mesh->normalData + 3 * filled[kNormal]++;
        sscanf(line, "vn %f %f %f", &n[0], &n[1], &n[2]);
        break;
    }
    case kTexCoord: {
        float* t = mesh->texCoordData + 2 * filled[kTexCoord]++;
        sscanf(line, "vt %f %f", &t[0], &t[1]);
        break;
    }
    case kVertex: {
        float* v = mesh->vertexData + 3 * filled[kVertex]++;
        sscanf(line, "v %f %f %f", &v[0], &v[1], &v[2]);
        break;
    }
    case kFace: {
        ObjFace& f = mesh->faceData[filled[kFace]++];
        sscanf(line, "f %d/%d/%d %d/%d/%d %d/%d/%d", &f.vertexIndex[0], &f.texCoordIndex[0],
               &f.normalIndex[0], &f.vertexIndex[1], &f.texCoordIndex[1], &f.normalIndex[1],
               &f.vertexIndex[2], &f.texCoordIndex[2], &f.normalIndex[2]);
        break;
    }
    case kOther:
        break;
    }
}

} // namespace

int readObjFile(const char* path, char** text) {
    size_t length = 0;
    char* buffer = readWholeFile(dataPath(path).c_str(), kMaxObjFileBytes, &length, malloc);
    if (!buffer)
        return 0;
    *text = buffer;
    return static_cast<int>(length);
}

ObjMesh* parseObj(const char* text, int length) {
    if (!text || length < 0)
        length = 0;
    ObjMesh* mesh = static_cast<ObjMesh*>(calloc(1, sizeof(ObjMesh)));
    if (!mesh)
        return nullptr;
    int counts[kOther] = {};
    forEachLine(text, length, [&](LineKind kind, const char*, const char*) {
        if (kind != kOther)
            ++counts[kind];
    });
    mesh->normalCount = counts[kNormal];
    mesh->texCoordCount = counts[kTexCoord];
    mesh->vertexCount = counts[kVertex];
    mesh->faceCount = counts[kFace];
    if (!allocate(reinterpret_cast<void**>(&mesh->vertexData), mesh->vertexCount, 3 * sizeof(float)) ||
        !allocate(reinterpret_cast<void**>(&mesh->normalData), mesh->normalCount, 3 * sizeof(float)) ||
        !allocate(reinterpret_cast<void**>(&mesh->texCoordData), mesh->texCoordCount, 2 * sizeof(float)) ||
        !allocate(reinterpret_cast<void**>(&mesh->faceData), mesh->faceCount, sizeof(ObjFace))) {
        freeMesh(mesh);
        return nullptr;
    }
    // Each line is converted from its own NUL-terminated copy: sscanf must see
    // neither the next line nor anything past `length`.
    int filled[kOther] = {};
    std::string copy;
    forEachLine(text, length, [&](LineKind kind, const char* line, const char* lineEnd) {
        if (kind == kOther)
            return;
        copy.assign(line, lineEnd);
        parseLine(mesh, filled, kind, copy.c_str());
    });
    return mesh;
}
