#include "FuzzCheck.h"
#include "core/ObjReader.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

// Any text, not NUL-terminated: every array must hold what its count says, and the
// counts must add up to no more lines than the text has.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT_MAX)
        return 0;
    ObjMesh* mesh = parseObj(reinterpret_cast<const char*>(data), int(size));
    FUZZ_CHECK(mesh);
    int lines = 1;
    for (size_t i = 0; i < size; ++i)
        lines += data[i] == '\n';
    FUZZ_CHECK(mesh->vertexCount >= 0 && mesh->normalCount >= 0);
    FUZZ_CHECK(mesh->texCoordCount >= 0 && mesh->faceCount >= 0);
    FUZZ_CHECK(mesh->vertexCount + mesh->normalCount + mesh->texCoordCount + mesh->faceCount <= lines);
    volatile float sink = 0;
    if (mesh->vertexCount)
        sink = mesh->vertexData[3 * mesh->vertexCount - 1];
    if (mesh->normalCount)
        sink = mesh->normalData[3 * mesh->normalCount - 1];
    if (mesh->texCoordCount)
        sink = mesh->texCoordData[2 * mesh->texCoordCount - 1];
    if (mesh->faceCount)
        sink = float(mesh->faceData[mesh->faceCount - 1].normalIndex[2]);
    (void)sink;
    free(mesh->vertexData);
    free(mesh->normalData);
    free(mesh->texCoordData);
    free(mesh->faceData);
    free(mesh);
    return 0;
}
