#include "tools/optimizer/RayCost.h"
#include "core/PrimitiveLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace optimizer {

namespace {

constexpr size_t kGroupFaces = primitive::kGroupFaces; // the writer's group
constexpr int kRaysAcross = 8;                         // per direction, kRaysAcross^3 parallel rays

struct Box {
    float lo[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                   std::numeric_limits<float>::max()};
    float hi[3] = {-std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                   -std::numeric_limits<float>::max()};
    void extend(const float* p) {
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], p[i]);
            hi[i] = std::max(hi[i], p[i]);
        }
    }
};

// The slab test, inclusive, so that the flat boxes of flat meshes can be hit; an
// empty box (lo above hi) never is.
bool hits(const Box& box, const double origin[3], const double direction[3]) {
    double near = 0, far = std::numeric_limits<double>::infinity();
    for (int i = 0; i < 3; ++i) {
        if (box.lo[i] > box.hi[i])
            return false;
        if (direction[i] == 0) {
            if (origin[i] < box.lo[i] || origin[i] > box.hi[i])
                return false;
            continue;
        }
        double t0 = (box.lo[i] - origin[i]) / direction[i], t1 = (box.hi[i] - origin[i]) / direction[i];
        near = std::max(near, std::min(t0, t1));
        far = std::min(far, std::max(t0, t1));
    }
    return near <= far;
}

void normalize(double v[3]) {
    double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (int i = 0; i < 3; ++i)
        v[i] /= length;
}

} // namespace

RayCost rayCost(const std::vector<float>& points, const std::vector<uint32_t>& corners) {
    RayCost cost;
    const size_t faces = corners.size() / 3;
    std::vector<Box> groups;
    std::vector<size_t> groupFaces;
    Box mesh;
    for (size_t first = 0;; first += kGroupFaces) {
        size_t end = std::min(first + kGroupFaces, faces);
        Box box;
        for (size_t c = 3 * first; c < 3 * end; ++c)
            box.extend(&points[3 * size_t(corners[c])]);
        for (int i = 0; i < 3; ++i) {
            mesh.lo[i] = std::min(mesh.lo[i], box.lo[i]);
            mesh.hi[i] = std::max(mesh.hi[i], box.hi[i]);
        }
        groups.push_back(box);
        groupFaces.push_back(end - first);
        if (end - first < kGroupFaces)
            break;
    }
    cost.groups = int(groups.size());
    if (!faces)
        return cost;

    double radius = 0;
    for (int i = 0; i < 3; ++i) {
        double half = 0.5 * (double(mesh.hi[i]) - mesh.lo[i]);
        radius += half * half;
    }
    radius = std::max(std::sqrt(radius), 1e-6);

    // Through points spread evenly inside the mesh's box, so that a thin box (a
    // wall, a beam) is crossed as often as a cube.
    const double directions[7][3] = {{1, 0, 0},  {0, 1, 0},  {0, 0, 1}, {1, 1, 1},
                                     {-1, 1, 1}, {1, -1, 1}, {1, 1, -1}};
    long rays = 0, boxTests = 0, groupsHit = 0, triangleTests = 0;
    for (const auto& d : directions) {
        double dir[3] = {d[0], d[1], d[2]};
        normalize(dir);
        for (int a = 0; a < kRaysAcross; ++a)
            for (int b = 0; b < kRaysAcross; ++b)
                for (int c = 0; c < kRaysAcross; ++c) {
                    const int step[3] = {a, b, c};
                    double origin[3];
                    for (int i = 0; i < 3; ++i) {
                        double through =
                            mesh.lo[i] + (double(mesh.hi[i]) - mesh.lo[i]) * (step[i] + 0.5) / kRaysAcross;
                        origin[i] = through - 2 * radius * dir[i];
                    }
                    if (!hits(mesh, origin, dir))
                        continue;
                    ++rays;
                    boxTests += 1 + long(groups.size());
                    for (size_t g = 0; g < groups.size(); ++g)
                        if (hits(groups[g], origin, dir)) {
                            ++groupsHit;
                            triangleTests += long(groupFaces[g]);
                        }
                }
    }
    if (rays) {
        cost.boxTests = double(boxTests) / rays;
        cost.groupsHit = double(groupsHit) / rays;
        cost.triangleTests = double(triangleTests) / rays;
    }
    return cost;
}

std::vector<uint32_t> reorderedCorners(const std::vector<uint32_t>& corners,
                                       const std::vector<uint32_t>& position) {
    std::vector<uint32_t> out(corners.size());
    for (size_t f = 0; f < position.size(); ++f)
        for (int j = 0; j < 3; ++j)
            out[3 * size_t(position[f]) + j] = corners[3 * f + j];
    return out;
}

} // namespace optimizer
