// Transforms and vertex normals of the 3D Studio adapter: the helpers the lib3ds
// 2.0 interface has and 1.x lacks.
#include "scene/Studio3dsFile.h"

#include <lib3ds/matrix.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

struct Vec {
    float x, y, z;
};

Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec point(const Lib3dsMesh* m, unsigned i) {
    return {m->pointL[i].pos[0], m->pointL[i].pos[1], m->pointL[i].pos[2]};
}

// The summed normals of the faces around one point that share smoothing group bits.
struct GroupSum {
    unsigned groups;
    Vec sum;
    uint32_t shared; // 1 + the entry of the corner normal this sum gives, 0 before it has one
};

GroupSum* findGroups(std::vector<GroupSum>& sums, unsigned groups) {
    for (GroupSum& s : sums)
        if (s.groups == groups)
            return &s;
    return nullptr;
}

} // namespace

// Area-weighted normals transform exactly by the cofactor matrix of the linear
// part of the transform: cross(L a, L b) = cof(L) cross(a, b). So the sums are
// taken once, in mesh-data space, and each frame only maps them. Corners that
// share a sum (the corners of a flat face; the corners at one point of faces in
// the same smoothing groups) share one entry, so each is normalised once a frame.
Studio3dsFile::CornerNormals Studio3dsFile::cornerNormalSums(const Lib3dsMesh* m) {
    std::vector<Vec> faceNormal(m->faces, Vec{0, 0, 0});
    std::vector<std::vector<GroupSum>> around(m->points);
    auto valid = [&](const Lib3dsFace& f) {
        return f.points[0] < m->points && f.points[1] < m->points && f.points[2] < m->points;
    };
    for (unsigned f = 0; f < m->faces; ++f) {
        const Lib3dsFace& face = m->faceL[f];
        if (!valid(face))
            continue;
        Vec a = point(m, face.points[0]), b = point(m, face.points[1]), c = point(m, face.points[2]);
        faceNormal[f] = cross(c - b, a - b);
        if (!face.smoothing)
            continue;
        for (int j = 0; j < 3; ++j) {
            std::vector<GroupSum>& sums = around[face.points[j]];
            GroupSum* same = findGroups(sums, face.smoothing);
            if (!same) {
                sums.push_back({face.smoothing, {0, 0, 0}, 0});
                same = &sums.back();
            }
            same->sum = {same->sum.x + faceNormal[f].x, same->sum.y + faceNormal[f].y,
                         same->sum.z + faceNormal[f].z};
        }
    }
    CornerNormals out;
    out.corner.resize(3 * size_t(m->faces));
    auto add = [&](Vec n) {
        out.sums.insert(out.sums.end(), {n.x, n.y, n.z});
        return uint32_t(out.sums.size() / 3 - 1);
    };
    for (unsigned f = 0; f < m->faces; ++f) {
        const Lib3dsFace& face = m->faceL[f];
        if (!face.smoothing || !valid(face)) {
            uint32_t own = add(faceNormal[f]);
            out.corner[3 * f] = out.corner[3 * f + 1] = out.corner[3 * f + 2] = own;
            continue;
        }
        for (int j = 0; j < 3; ++j) {
            std::vector<GroupSum>& sums = around[face.points[j]];
            GroupSum* same = findGroups(sums, face.smoothing); // made by the loop above
            if (!same->shared) {
                Vec n = {0, 0, 0};
                for (const GroupSum& s : sums)
                    if (s.groups & face.smoothing)
                        n = {n.x + s.sum.x, n.y + s.sum.y, n.z + s.sum.z};
                same->shared = add(n) + 1;
            }
            out.corner[3 * f + j] = same->shared - 1;
        }
    }
    return out;
}

void Studio3dsFile::meshTransform(const Lib3dsNode* node, int meshIndex, float m[4][4]) const {
    Lib3dsMatrix nodeMatrix, inverse;
    memcpy(nodeMatrix, node->matrix, sizeof nodeMatrix);
    lib3ds_matrix_copy(m, nodeMatrix);
    Lib3dsVector pivot = {-node->data.object.pivot[0], -node->data.object.pivot[1],
                          -node->data.object.pivot[2]};
    lib3ds_matrix_translate(m, pivot);
    lib3ds_matrix_copy(inverse, meshes[meshIndex].mesh->matrix);
    if (!lib3ds_matrix_inv(inverse))
        lib3ds_matrix_identity(inverse);
    lib3ds_matrix_mult(m, inverse);
}

void Studio3dsFile::transformPoints(int meshIndex, const float m[4][4], float* __restrict out) const {
    // Column by column, four lanes at a time: this runs for every point every frame.
    typedef float Float4 __attribute__((vector_size(16)));
    Float4 column[4];
    memcpy(column, m, sizeof column);
    const Lib3dsMesh* mesh = meshes[meshIndex].mesh;
    for (unsigned i = 0; i < mesh->points; ++i) {
        const float* a = mesh->pointL[i].pos;
        Float4 p = column[0] * a[0] + column[1] * a[1] + column[2] * a[2] + column[3];
        memcpy(out + 4 * size_t(i), &p, sizeof p);
    }
}

void Studio3dsFile::vertexNormals(int meshIndex, const float m[4][4], float* __restrict normals) const {
    // Columns of the linear part of m (lib3ds stores column vectors as m[0..2]).
    Vec c0 = {m[0][0], m[0][1], m[0][2]}, c1 = {m[1][0], m[1][1], m[1][2]}, c2 = {m[2][0], m[2][1], m[2][2]};
    Vec k0 = cross(c1, c2), k1 = cross(c2, c0), k2 = cross(c0, c1);
    const CornerNormals& corners = meshes[meshIndex].normals;
    // Kept between calls: this runs for every turning mesh every frame.
    static thread_local std::vector<float> unit;
    unit.resize(corners.sums.size());
    for (size_t i = 0; i < unit.size(); i += 3) {
        float sx = corners.sums[i], sy = corners.sums[i + 1], sz = corners.sums[i + 2];
        float x = k0.x * sx + k1.x * sy + k2.x * sz;
        float y = k0.y * sx + k1.y * sy + k2.y * sz;
        float z = k0.z * sx + k1.z * sy + k2.z * sz;
        float squared = x * x + y * y + z * z;
        float scale = 1.0f / std::sqrt(squared > 0 ? squared : 1.0f); // a zero sum stays zero
        unit[i] = x * scale;
        unit[i + 1] = y * scale;
        unit[i + 2] = z * scale;
    }
    for (size_t c = 0; c < corners.corner.size(); ++c)
        memcpy(normals + 3 * c, &unit[3 * size_t(corners.corner[c])], 3 * sizeof(float));
}
