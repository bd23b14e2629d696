#include "tools/optimizer/FaceArrays.h"

#include "core/Studio3dsChunkIds.h"

#include <cstdio>
#include <functional>

namespace optimizer {

namespace {

using namespace chunk3ds;

constexpr size_t kFaceBytes = 8;

// Calls visit(id, offset, size) for each chunk filling [at, end); false when one
// runs past the end.
bool walk(const std::vector<unsigned char>& file, size_t at, size_t end,
          const std::function<bool(uint16_t, size_t, size_t)>& visit) {
    while (at < end) {
        if (end - at < kHeader)
            return false;
        uint32_t length = readDword(&file[at + 2]);
        if (length < kHeader || length > end - at)
            return false;
        if (!visit(readWord(&file[at]), at + kHeader, length - kHeader))
            return false;
        at += length;
    }
    return true;
}

class Finder {
  public:
    Finder(const std::vector<unsigned char>& file, std::vector<MeshFaces>& meshes)
        : file(file), meshes(meshes) {}

    std::string run() {
        if (file.size() < kHeader || readWord(&file[0]) != kMain)
            return "not a 3D Studio scene file";
        uint32_t length = readDword(&file[2]);
        if (length < kHeader || length > file.size())
            return "the file is shorter than its main chunk";
        bool whole = walk(file, kHeader, length, [&](uint16_t id, size_t at, size_t size) {
            return id != kMeshData || walk(file, at, at + size, [&](uint16_t id, size_t at, size_t size) {
                       return id != kNamedObject || namedObject(at, size);
                   });
        });
        if (!whole && fault.empty())
            fault = "a chunk runs past the end of its parent";
        return fault;
    }

  private:
    const std::vector<unsigned char>& file;
    std::vector<MeshFaces>& meshes;
    std::string fault;

    bool fail(const std::string& what) {
        fault = what;
        return false;
    }

    bool namedObject(size_t at, size_t size) {
        size_t n = 0;
        while (n < size && file[at + n])
            ++n;
        if (n == size)
            return fail("an object's name runs past its chunk");
        std::string name(reinterpret_cast<const char*>(&file[at]), n);
        return walk(file, at + n + 1, at + size, [&](uint16_t id, size_t at, size_t size) {
            return id != kTriangleObject || triangleObject(name, at, size);
        });
    }

    bool triangleObject(const std::string& name, size_t at, size_t size) {
        MeshFaces mesh;
        mesh.name = name;
        bool hasPoints = false, hasFaces = false;
        bool ok = walk(file, at, at + size, [&](uint16_t id, size_t at, size_t size) {
            if (id == kPointArray) {
                if (size < 2 || 2 + 12 * size_t(readWord(&file[at])) > size)
                    return fail("mesh " + name + ": point array larger than its chunk");
                mesh.pointCount = readWord(&file[at]);
                mesh.points = at + 2;
                hasPoints = true;
            }
            if (id == kFaceArray) {
                hasFaces = true;
                return faceArray(mesh, at, size);
            }
            return true;
        });
        if (!ok)
            return false;
        if (hasFaces && !hasPoints)
            return fail("mesh " + name + ": faces without points");
        for (size_t f = 0; f < mesh.faceCount; ++f)
            for (int j = 0; j < 3; ++j)
                if (readWord(&file[mesh.faces + kFaceBytes * f + 2 * j]) >= mesh.pointCount) {
                    char text[64];
                    snprintf(text, sizeof text, ": face %zu names a point beyond its %u", f, mesh.pointCount);
                    return fail("mesh " + name + text);
                }
        if (hasFaces)
            meshes.push_back(mesh);
        return true;
    }

    bool faceArray(MeshFaces& mesh, size_t at, size_t size) {
        if (size < 2)
            return fail("mesh " + mesh.name + ": face array without a face count");
        mesh.faceCount = readWord(&file[at]);
        mesh.faces = at + 2;
        size_t records = 2 + kFaceBytes * size_t(mesh.faceCount);
        if (records > size)
            return fail("mesh " + mesh.name + ": face array larger than its chunk");
        return walk(file, at + records, at + size, [&](uint16_t id, size_t at, size_t size) {
            if (id == kMaterialGroup)
                return materialGroup(mesh, at, size);
            if (id == kSmoothGroup) {
                // Fewer words than faces: the faces past them keep theirs where they are.
                mesh.smoothing.push_back(at);
                mesh.smoothingSizes.push_back(size);
            }
            return true;
        });
    }

    bool materialGroup(MeshFaces& mesh, size_t at, size_t size) {
        size_t n = 0;
        while (n < size && file[at + n])
            ++n;
        if (n + 3 > size)
            return fail("mesh " + mesh.name + ": material group without a face count");
        uint16_t count = readWord(&file[at + n + 1]);
        if (n + 3 + 2 * size_t(count) > size)
            return fail("mesh " + mesh.name + ": material group larger than its chunk");
        for (uint16_t i = 0; i < count; ++i)
            if (readWord(&file[at + n + 3 + 2 * i]) >= mesh.faceCount)
                return fail("mesh " + mesh.name + ": a material group names a face beyond its faces");
        mesh.materialGroups.push_back(at);
        return true;
    }
};

} // namespace

std::string findMeshFaces(const std::vector<unsigned char>& file, std::vector<MeshFaces>& meshes) {
    meshes.clear();
    return Finder(file, meshes).run();
}

uint16_t readWord(const unsigned char* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t readDword(const unsigned char* p) {
    return uint32_t(readWord(p)) | uint32_t(readWord(p + 2)) << 16;
}
void writeWord(unsigned char* p, uint16_t value) {
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
}
void writeDword(unsigned char* p, uint32_t value) {
    writeWord(p, uint16_t(value));
    writeWord(p + 2, uint16_t(value >> 16));
}

} // namespace optimizer
