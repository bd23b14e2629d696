#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace optimizer {

// Where one mesh's geometry lies in the bytes of a 3D Studio file. Offsets are
// from the start of the file and point at payloads (past the 6-byte chunk headers).
struct MeshFaces {
    std::string name;
    size_t points = 0; // the point array's first coordinate (float x, y, z per point)
    uint32_t pointCount = 0;
    size_t faces = 0; // the face array's first record (a, b, c, flags: four words)
    uint32_t faceCount = 0;
    std::vector<size_t> materialGroups; // each group's payload: name, count, face indices
    std::vector<size_t> smoothing;      // payloads of smoothing chunks: one dword per face
    std::vector<size_t> smoothingSizes; // their payload sizes
};

// Finds every mesh that has both a point array and a face array, walking the
// chunks: main, mesh data, named object, triangle object, face array. Returns an
// empty string, or what is wrong with the file (a chunk that runs past its parent,
// a face or material group naming what is not there). Nothing else is read, so
// chunks this walk does not know stay as they are.
std::string findMeshFaces(const std::vector<unsigned char>& file, std::vector<MeshFaces>& meshes);

uint16_t readWord(const unsigned char* p);
uint32_t readDword(const unsigned char* p);
void writeWord(unsigned char* p, uint16_t value);
void writeDword(unsigned char* p, uint32_t value);

} // namespace optimizer
