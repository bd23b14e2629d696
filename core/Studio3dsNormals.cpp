// Vertex normals of 3D Studio meshes, weighted by corner angle and shared within
// smoothing groups, as lib3ds 2.0 computes them. Plain C++: the polygon scenes and
// the model scene use the same numbers.
#include "core/Studio3dsScene.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct Vec {
    float x, y, z;
};

Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

bool validFace(const Studio3dsFace& f, uint32_t points) {
    return f.index[0] < points && f.index[1] < points && f.index[2] < points;
}

// lib3ds_vector_normalize: a vector too short to divide by becomes the axis of its
// largest component.
void normalizeInto(Vec v, float* out) {
    float length = std::sqrt(dot(v, v));
    if (length < 1e-5f) {
        bool x = v.x >= v.y && v.x >= v.z, y = !x && v.y >= v.z;
        out[0] = x ? 1.0f : 0.0f;
        out[1] = y ? 1.0f : 0.0f;
        out[2] = !x && !y ? 1.0f : 0.0f;
        return;
    }
    out[0] = v.x / length;
    out[1] = v.y / length;
    out[2] = v.z / length;
}

// The unnormalised normal of every corner (3 per face): its own contribution for a
// face in no smoothing group, else the sum over its point's corners as the groups
// select them. Invalid faces get zeros. `widenedOut`, where given, receives each
// corner's widened groups (0 for a corner that takes its own contribution).
std::vector<Vec> cornerSums(const std::vector<Studio3dsFace>& faces, const float* points, size_t stride,
                            uint32_t pointCount, std::vector<uint32_t>* widenedOut = nullptr) {
    const size_t corners = 3 * faces.size();
    auto point = [&](uint32_t i) {
        const float* p = points + stride * i;
        return Vec{p[0], p[1], p[2]};
    };
    std::vector<Vec> own(corners, Vec{0, 0, 0});
    // Corners grouped by point (by index, not by position): first[v] .. first[v + 1].
    std::vector<uint32_t> first(size_t(pointCount) + 1, 0), at;
    for (size_t f = 0; f < faces.size(); ++f) {
        const Studio3dsFace& face = faces[f];
        if (!validFace(face, pointCount))
            continue;
        for (int j = 0; j < 3; ++j) {
            Vec origin = point(face.index[j]);
            Vec p = point(face.index[(j + 1) % 3]) - origin, q = point(face.index[(j + 2) % 3]) - origin;
            Vec n = cross(p, q);
            float length = std::sqrt(dot(n, n));
            if (length > 0) {
                float scale = std::atan2(length, dot(p, q)) / length;
                own[3 * f + j] = {n.x * scale, n.y * scale, n.z * scale};
            }
            ++first[face.index[j] + 1];
        }
    }
    for (size_t v = 0; v < pointCount; ++v)
        first[v + 1] += first[v];
    at.resize(first[pointCount]);
    std::vector<uint32_t> fill(first.begin(), first.end() - 1);
    for (size_t f = 0; f < faces.size(); ++f)
        if (validFace(faces[f], pointCount))
            for (int j = 0; j < 3; ++j)
                at[fill[faces[f].index[j]]++] = uint32_t(3 * f + j);

    std::vector<Vec> sums(corners, Vec{0, 0, 0});
    if (widenedOut)
        widenedOut->assign(corners, 0);
    for (size_t f = 0; f < faces.size(); ++f) {
        const Studio3dsFace& face = faces[f];
        if (!validFace(face, pointCount))
            continue;
        for (int j = 0; j < 3; ++j) {
            size_t c = 3 * f + j;
            if (!face.smoothing) {
                sums[c] = own[c];
                continue;
            }
            uint32_t v = face.index[j], widened = face.smoothing;
            for (uint32_t k = first[v]; k < first[v + 1]; ++k) {
                uint32_t other = faces[at[k] / 3].smoothing;
                if (other & face.smoothing)
                    widened |= other;
            }
            Vec sum = {0, 0, 0};
            for (uint32_t k = first[v]; k < first[v + 1]; ++k)
                if (faces[at[k] / 3].smoothing & widened)
                    sum = sum + own[at[k]];
            sums[c] = sum;
            if (widenedOut)
                (*widenedOut)[c] = widened;
        }
    }
    return sums;
}

void normalizeCorners(const std::vector<Studio3dsFace>& faces, uint32_t pointCount,
                      const std::vector<Vec>& sums, float* normals, size_t normalStride) {
    for (size_t f = 0; f < faces.size(); ++f) {
        bool valid = validFace(faces[f], pointCount);
        for (int j = 0; j < 3; ++j) {
            float* out = normals + normalStride * (3 * f + j);
            if (valid)
                normalizeInto(sums[3 * f + j], out);
            else
                out[0] = out[1] = out[2] = 0;
        }
    }
}

// Whether the linear part of m is a rotation (or mirror) times a uniform scale s,
// to a relative 1e-5; gives s.
bool similarity(const float m[4][4], float& scale) {
    Vec c[3] = {{m[0][0], m[0][1], m[0][2]}, {m[1][0], m[1][1], m[1][2]}, {m[2][0], m[2][1], m[2][2]}};
    float s2 = (dot(c[0], c[0]) + dot(c[1], c[1]) + dot(c[2], c[2])) / 3;
    if (!(s2 > 0) || !std::isfinite(s2))
        return false;
    const float tolerance = 1e-5f * s2;
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(dot(c[i], c[i]) - s2) > tolerance || std::fabs(dot(c[i], c[(i + 1) % 3])) > tolerance)
            return false;
    }
    scale = std::sqrt(s2);
    return true;
}

} // namespace

void calculateVertexNormals(const std::vector<Studio3dsFace>& faces, const float* points, size_t stride,
                            uint32_t pointCount, float* normals, size_t normalStride) {
    normalizeCorners(faces, pointCount, cornerSums(faces, points, stride, pointCount), normals, normalStride);
}

// Corners at one point with the same widened groups have the same sum: each such
// sum is kept (and each frame turned and normalised) once.
MeshNormals::MeshNormals(const Studio3dsMesh& mesh) {
    std::vector<uint32_t> widened;
    std::vector<Vec> corners = cornerSums(mesh.faces, mesh.points.data(), 3, mesh.pointCount(), &widened);
    std::vector<std::vector<std::pair<uint32_t, uint32_t>>> shared(mesh.pointCount()); // (groups, sum)
    cornerSum.resize(corners.size());
    auto add = [&](Vec v) {
        sums.insert(sums.end(), {v.x, v.y, v.z});
        return uint32_t(sums.size() / 3 - 1);
    };
    for (size_t c = 0; c < corners.size(); ++c) {
        if (!widened[c]) {
            cornerSum[c] = add(corners[c]);
            continue;
        }
        auto& atPoint = shared[mesh.faces[c / 3].index[c % 3]];
        auto same =
            std::find_if(atPoint.begin(), atPoint.end(), [&](auto& s) { return s.first == widened[c]; });
        if (same == atPoint.end()) {
            atPoint.push_back({widened[c], add(corners[c])});
            same = atPoint.end() - 1;
        }
        cornerSum[c] = same->second;
    }
}

// Under a similarity L = s R every edge turns by R and every angle stays, so each
// contribution, and each sum, becomes det(R) R times the mesh's own: the cross
// product of two mirrored edges points the other way.
void MeshNormals::compute(const Studio3dsMesh& mesh, const float m[4][4], const float* points, float* normals,
                          size_t normalStride) const {
    float scale = 0;
    if (!similarity(m, scale)) {
        calculateVertexNormals(mesh.faces, points, 4, mesh.pointCount(), normals, normalStride);
        return;
    }
    Vec c0 = {m[0][0], m[0][1], m[0][2]}, c1 = {m[1][0], m[1][1], m[1][2]}, c2 = {m[2][0], m[2][1], m[2][2]};
    float sign = dot(c0, cross(c1, c2)) < 0 ? -1.0f : 1.0f, k = sign / scale;
    c0 = {c0.x * k, c0.y * k, c0.z * k};
    c1 = {c1.x * k, c1.y * k, c1.z * k};
    c2 = {c2.x * k, c2.y * k, c2.z * k};
    unit.resize(sums.size());
    for (size_t i = 0; i < sums.size(); i += 3) {
        const float* s = &sums[i];
        Vec turned = {c0.x * s[0] + c1.x * s[1] + c2.x * s[2], c0.y * s[0] + c1.y * s[1] + c2.y * s[2],
                      c0.z * s[0] + c1.z * s[1] + c2.z * s[2]};
        normalizeInto(turned, &unit[i]);
    }
    const uint32_t pointCount = mesh.pointCount();
    for (size_t f = 0; f < mesh.faces.size(); ++f) {
        bool valid = validFace(mesh.faces[f], pointCount);
        for (int j = 0; j < 3; ++j) {
            float* out = normals + normalStride * (3 * f + j);
            if (valid)
                memcpy(out, &unit[3 * size_t(cornerSum[3 * f + j])], 3 * sizeof(float));
            else
                out[0] = out[1] = out[2] = 0;
        }
    }
}
