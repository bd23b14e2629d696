#pragma once
#include <cstddef>
#include <string>
#include <vector>

// What a walk over the chunks of a 3D Studio file finds before lib3ds reads it.
//
// lib3ds 1.x lists materials, meshes, lights, cameras and nodes by name, so their
// file order is recovered here. It also trusts the face arrays: it computes face normals while loading,
// reading the points that the faces name, and writes the material of each face a
// material group names. A face naming a point beyond the mesh's point list (or a
// material group naming a face beyond its face list) would make it read or write
// outside its arrays, so such a file is refused.
struct Studio3dsChunkScan {
    struct NodeTag {
        unsigned id;
        std::string name;
    };
    // All in file order.
    std::vector<std::string> materialNames, meshNames, lightNames, cameraNames;
    std::vector<NodeTag> nodes; // every node chunk of the keyframe section
    std::string fault;          // empty when lib3ds may read the file
};

Studio3dsChunkScan scanStudio3dsChunks(const unsigned char* bytes, size_t size);
