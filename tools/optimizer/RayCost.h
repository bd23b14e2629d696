#pragma once
#include <cstdint>
#include <vector>

namespace optimizer {

// What the ray tracer's walk costs for one mesh in a given face order. The writer
// puts the faces, in file order, into groups of 26 under a box each (and one more,
// empty, group after a mesh whose faces fill their last group). A ray that hits the
// mesh's box tests every group box, and the triangles of every group box it hits.
// The figures are averages over fixed bundles of parallel rays from seven
// directions (the three axes and four diagonals), each bundle through 512 points
// spread evenly inside the mesh's box.
struct RayCost {
    int groups = 0;
    double boxTests = 0;      // per ray: the mesh box and every group box
    double groupsHit = 0;     // per ray
    double triangleTests = 0; // per ray
    double tests() const { return boxTests + triangleTests; }
};

// `points` three floats per point, `corners` three point indices per face.
RayCost rayCost(const std::vector<float>& points, const std::vector<uint32_t>& corners);

// The same faces in the order `position` gives (face f at position[f]).
std::vector<uint32_t> reorderedCorners(const std::vector<uint32_t>& corners,
                                       const std::vector<uint32_t>& position);

} // namespace optimizer
