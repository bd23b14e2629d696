#pragma once
#include "tools/optimizer/RayCost.h"

#include <string>
#include <vector>

namespace optimizer {

struct MeshReport {
    std::string name;
    int faces = 0;
    RayCost before, after; // after == before where the order is kept
    bool reordered = false;
    const char* keptBecause = ""; // why not, where not
};

struct OptimizeResult {
    std::string fault; // empty when the file was read; then `file` holds the new bytes
    std::vector<MeshReport> meshes;
};

// Reorders each mesh's faces of a 3D Studio file (its bytes, changed in place) by
// meshoptimizer's spatial sort, where that lowers the tests per ray of the mesh's
// groups of 26. Only face arrays change, and within them only the order of the
// faces, their smoothing words and the face numbers of the material groups: every
// chunk keeps its place and its size. A file lib3ds would refuse is left alone and
// `fault` says why.
OptimizeResult optimizeFaceOrder(std::vector<unsigned char>& file);

} // namespace optimizer
