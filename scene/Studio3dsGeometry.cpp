// Transforms and vertex normals of the 3D Studio adapter: the helpers the lib3ds
// 2.0 interface has and 1.x lacks.
#include "scene/Studio3dsFile.h"

#include <lib3ds/matrix.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <cmath>
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
};

} // namespace

// Area-weighted normals transform exactly by the cofactor matrix of the linear
// part of the transform: cross(L a, L b) = cof(L) cross(a, b). So the per-corner
// sums are taken once, in mesh-data space, and each frame only maps them.
std::vector<float> Studio3dsFile::cornerNormalSums(const Lib3dsMesh* m) {
    std::vector<float> corners(9 * size_t(m->faces), 0.0f);
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
            GroupSum* same = nullptr;
            for (GroupSum& s : sums)
                if (s.groups == face.smoothing)
                    same = &s;
            if (!same) {
                sums.push_back({face.smoothing, {0, 0, 0}});
                same = &sums.back();
            }
            same->sum = {same->sum.x + faceNormal[f].x, same->sum.y + faceNormal[f].y,
                         same->sum.z + faceNormal[f].z};
        }
    }
    for (unsigned f = 0; f < m->faces; ++f) {
        const Lib3dsFace& face = m->faceL[f];
        for (int j = 0; j < 3; ++j) {
            Vec n = faceNormal[f];
            if (face.smoothing && valid(face)) {
                n = {0, 0, 0};
                for (const GroupSum& s : around[face.points[j]])
                    if (s.groups & face.smoothing)
                        n = {n.x + s.sum.x, n.y + s.sum.y, n.z + s.sum.z};
            }
            float* out = &corners[9 * f + 3 * j];
            out[0] = n.x;
            out[1] = n.y;
            out[2] = n.z;
        }
    }
    return corners;
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
    const Lib3dsMesh* mesh = meshes[meshIndex].mesh;
    for (unsigned i = 0; i < mesh->points; ++i) {
        const float* a = mesh->pointL[i].pos;
        for (int r = 0; r < 4; ++r)
            out[4 * i + r] = m[0][r] * a[0] + m[1][r] * a[1] + m[2][r] * a[2] + m[3][r];
    }
}

void Studio3dsFile::vertexNormals(int meshIndex, const float m[4][4], float* normals) const {
    // Columns of the linear part of m (lib3ds stores column vectors as m[0..2]).
    Vec c0 = {m[0][0], m[0][1], m[0][2]}, c1 = {m[1][0], m[1][1], m[1][2]}, c2 = {m[2][0], m[2][1], m[2][2]};
    Vec k0 = cross(c1, c2), k1 = cross(c2, c0), k2 = cross(c0, c1);
    const std::vector<float>& corners = meshes[meshIndex].cornerNormals;
    for (size_t i = 0; i < corners.size(); i += 3) {
        float sx = corners[i], sy = corners[i + 1], sz = corners[i + 2];
        float x = k0.x * sx + k1.x * sy + k2.x * sz;
        float y = k0.y * sx + k1.y * sy + k2.y * sz;
        float z = k0.z * sx + k1.z * sy + k2.z * sz;
        float squared = x * x + y * y + z * z;
        float scale = 1.0f / std::sqrt(squared > 0 ? squared : 1.0f); // a zero sum stays zero
        normals[i] = x * scale;
        normals[i + 1] = y * scale;
        normals[i + 2] = z * scale;
    }
}
