#pragma once
#include "tools/models/Mesh.h"

#include <string>

struct Lib3dsMesh;

namespace models {

// A lib3ds mesh record holding `mesh` as it is: its points, its uvs where there is
// one per point, its faces with their materials and smoothing groups, and an
// identity matrix (the points are where the mesh is). The caller inserts it into
// its file, after checking that the points fit: 3D Studio counts them in 16 bits.
Lib3dsMesh* meshRecord(const std::string& name, const Mesh& mesh);

} // namespace models
