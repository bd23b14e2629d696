#pragma once
#include "tools/optimizer/FaceArrays.h"

#include <cstdint>
#include <vector>

namespace optimizer {

// The points of a mesh as floats, three per point, read from the file's bytes.
std::vector<float> meshPoints(const std::vector<unsigned char>& file, const MeshFaces& mesh);
// The corner point indices of a mesh's faces, three per face, in file order.
std::vector<uint32_t> meshCorners(const std::vector<unsigned char>& file, const MeshFaces& mesh);

// meshoptimizer's spatial sort of the faces (the order meshopt_spatialSortTriangles
// gives, from the same sort of the face centroids): position[f] is where face f goes.
std::vector<uint32_t> spatialFaceOrder(const std::vector<float>& points,
                                       const std::vector<uint32_t>& corners);

// False when the mesh's per-face data cannot be moved with its faces: a smoothing
// chunk with fewer words than faces.
bool canReorder(const MeshFaces& mesh);

// Moves face f of `mesh` to position[f] in the file's bytes: the face records
// (corners and flags together), the smoothing words, and the face numbers of every
// material group (kept ascending, as 3D Studio writes them). Chunk sizes do not change.
void reorderFaces(std::vector<unsigned char>& file, const MeshFaces& mesh,
                  const std::vector<uint32_t>& position);

} // namespace optimizer
