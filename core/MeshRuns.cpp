#include "core/MeshRuns.h"

#include "core/PrimitiveLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct Bounds {
    float min[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                    std::numeric_limits<float>::max()};
    float max[3] = {-std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                    -std::numeric_limits<float>::max()};

    bool empty() const { return min[0] > max[0] || min[1] > max[1] || min[2] > max[2]; }
    void extend(const Bounds& b) {
        if (b.empty())
            return;
        for (int a = 0; a < 3; ++a) {
            min[a] = std::min(min[a], b.min[a]);
            max[a] = std::max(max[a], b.max[a]);
        }
    }
    // Half the surface: what the chance of a ray entering the box goes with.
    double halfArea() const {
        if (empty())
            return 0;
        double x = max[0] - min[0], y = max[1] - min[1], z = max[2] - min[2];
        return x * y + y * z + z * x;
    }
};

// A box with a NaN corner (a file with broken points) may still be entered by some
// rays, depending on how the shader's min and max treat NaN: its run gets a box
// round everything, so it is never skipped.
Bounds meshBounds(const float* texels, int m) {
    const float* lo =
        texels + 4 * size_t(primitive::kMeshBase + primitive::kMeshTexels * m + primitive::kMeshMin);
    const float* hi =
        texels + 4 * size_t(primitive::kMeshBase + primitive::kMeshTexels * m + primitive::kMeshMax);
    Bounds b;
    bool nan = false;
    for (int a = 0; a < 3; ++a) {
        b.min[a] = lo[a];
        b.max[a] = hi[a];
        nan = nan || std::isnan(lo[a]) || std::isnan(hi[a]);
    }
    if (nan)
        for (int a = 0; a < 3; ++a) {
            b.min[a] = -std::numeric_limits<float>::infinity();
            b.max[a] = std::numeric_limits<float>::infinity();
        }
    return b;
}

MeshRun runOf(const Bounds& b, int first, int end) {
    MeshRun run{};
    for (int a = 0; a < 3; ++a) {
        // A run of empty boxes gets an empty box too, which the shader misses.
        run.min[a] = b.empty() ? 1.0f : b.min[a];
        run.max[a] = b.empty() ? -1.0f : b.max[a];
    }
    run.first = first;
    run.end = end;
    return run;
}

// Above this many meshes the exact cut (quadratic in the meshes, every flatten)
// would cost more than it saves: equal runs instead, as for a scene without a
// finite surface.
constexpr int kMaxExactMeshes = 128;

} // namespace

std::vector<MeshRun> meshRuns(const float* texels, int meshes) {
    std::vector<MeshRun> runs;
    meshes = std::min(meshes, primitive::kMeshCapacity);
    if (meshes <= 0)
        return runs;
    std::vector<Bounds> boxes(meshes);
    Bounds scene;
    for (int m = 0; m < meshes; ++m) {
        boxes[m] = meshBounds(texels, m);
        scene.extend(boxes[m]);
    }
    const double sceneArea = scene.halfArea();
    if (meshes > kMaxExactMeshes || !(sceneArea > 0) || std::isinf(sceneArea)) {
        const int per = (meshes + kMaxMeshRuns - 1) / kMaxMeshRuns;
        for (int first = 0; first < meshes; first += per) {
            Bounds b;
            const int end = std::min(meshes, first + per);
            for (int m = first; m < end; ++m)
                b.extend(boxes[m]);
            runs.push_back(runOf(b, first, end));
        }
        return runs;
    }
    // cost[k][i]: least expected tests for meshes 0..i-1 cut into k runs.
    const double kInfinite = std::numeric_limits<double>::infinity();
    const int most = std::min(meshes, kMaxMeshRuns);
    std::vector<std::vector<double>> cost(most + 1, std::vector<double>(meshes + 1, kInfinite));
    std::vector<std::vector<int>> cut(most + 1, std::vector<int>(meshes + 1, 0));
    cost[0][0] = 0;
    for (int i = 1; i <= meshes; ++i) {
        Bounds b; // meshes j..i-1, grown as j moves back
        for (int j = i - 1; j >= 0; --j) {
            b.extend(boxes[j]);
            const double run = 1.0 + (i - j) * b.halfArea() / sceneArea;
            for (int k = 1; k <= most; ++k) {
                if (cost[k - 1][j] + run < cost[k][i]) {
                    cost[k][i] = cost[k - 1][j] + run;
                    cut[k][i] = j;
                }
            }
        }
    }
    int best = 1;
    for (int k = 2; k <= most; ++k)
        if (cost[k][meshes] < cost[best][meshes])
            best = k;
    std::vector<int> ends;
    for (int k = best, i = meshes; k > 0; i = cut[k][i], --k)
        ends.push_back(i);
    int first = 0;
    for (auto e = ends.rbegin(); e != ends.rend(); ++e) {
        Bounds b;
        for (int m = first; m < *e; ++m)
            b.extend(boxes[m]);
        runs.push_back(runOf(b, first, *e));
        first = *e;
    }
    return runs;
}

MeshRunUniforms meshRunUniforms(const std::vector<MeshRun>& runs) {
    MeshRunUniforms u;
    u.count = std::min(int(runs.size()), kMaxMeshRuns);
    for (int r = 0; r < u.count; ++r) {
        for (int a = 0; a < 3; ++a) {
            u.min[4 * r + a] = runs[r].min[a];
            u.max[4 * r + a] = runs[r].max[a];
        }
        u.min[4 * r + 3] = float(runs[r].first);
        u.max[4 * r + 3] = float(runs[r].end);
    }
    return u;
}

MeshRunUniforms meshRunUniformsOf(const float* texels) {
    return meshRunUniforms(
        meshRuns(texels, int(texels[4 * primitive::kHeaderTexel + primitive::kHeaderMeshes])));
}
