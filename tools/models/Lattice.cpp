#include "tools/models/Lattice.h"

#include <cmath>

namespace models {

namespace {

constexpr float kTau = 6.28318530717958647692f;

} // namespace

Mesh tiledFloor(float size, int cells, float tiles, const std::string& material) {
    return lattice(cells, cells, {tiles, tiles}, material, 1, [&](const LatticePoint& p) {
        return Vec3{(p.u - 0.5f) * size, (p.v - 0.5f) * size, 0.0f};
    });
}

Mesh cylinder(float radius, float height, int segments, Uv tiles, const std::string& material, bool open) {
    Mesh m = lattice(segments, 1, tiles, material, 1, [&](const LatticePoint& p) {
        return Vec3{radius * std::cos(p.u * kTau), radius * std::sin(p.u * kTau), p.v * height};
    });
    if (open)
        return m;
    // Each cap: a fan around its centre, textured as a disc cut from the map.
    for (int cap = 0; cap < 2; ++cap) {
        const float z = cap ? height : 0.0f;
        const int centre = int(m.points.size());
        m.points.push_back({0, 0, z});
        m.uvs.push_back({0.5f, 0.5f});
        for (int i = 0; i < segments; ++i) {
            const float a = kTau * i / segments;
            m.points.push_back({radius * std::cos(a), radius * std::sin(a), z});
            m.uvs.push_back({0.5f + 0.5f * std::cos(a), 0.5f + 0.5f * std::sin(a)});
        }
        for (int i = 0; i < segments; ++i) {
            const int a = centre + 1 + i, b = centre + 1 + (i + 1) % segments;
            // Counter-clockwise seen from outside: up on the top cap, down on the bottom.
            m.faces.push_back(
                Face{cap ? std::array<int, 3>{centre, a, b} : std::array<int, 3>{centre, b, a}, material, 0});
        }
    }
    return m;
}

Mesh annulus(float inner, float outer, int segments, float uTiles, const std::string& material) {
    return lattice(segments, 1, {uTiles, 1}, material, 1, [&](const LatticePoint& p) {
        const float r = inner + p.v * (outer - inner);
        return Vec3{r * std::cos(p.u * kTau), r * std::sin(p.u * kTau), 0.0f};
    });
}

Mesh standingTorus(float major, float minor, int segments, int sides, Uv tiles, const std::string& material) {
    return lattice(segments, sides, tiles, material, 1, [&](const LatticePoint& p) {
        const float a = p.u * kTau, b = p.v * kTau, r = major + minor * std::cos(b);
        return Vec3{r * std::cos(a), minor * std::sin(b), r * std::sin(a)};
    });
}

Mesh latticeSphere(float radius, int segments, int rings, const std::string& material) {
    return lattice(segments, rings, {2, 1}, material, 1, [&](const LatticePoint& p) {
        const float a = p.u * kTau, polar = (1 - p.v) * kTau / 2;
        return Vec3{radius * std::sin(polar) * std::cos(a), radius * std::sin(polar) * std::sin(a),
                    radius * std::cos(polar)};
    });
}

Mesh grid(int cells, Vec3 origin, const std::string& material) {
    Mesh m = lattice(cells, cells, {1, 1}, material, 1, [&](const LatticePoint& p) {
        return Vec3{origin[0] + p.column, origin[1] + p.row, origin[2]};
    });
    return m;
}

Mesh polarSphere(Vec3 c, float r, int rings, int segments, const std::string& material) {
    const float pi = kTau / 2;
    Mesh m;
    m.points.push_back({c[0], c[1], c[2] + r});
    for (int i = 1; i < rings; ++i) {
        const float phi = pi * i / rings;
        for (int s = 0; s < segments; ++s) {
            const float theta = 2 * pi * s / segments;
            m.points.push_back({c[0] + r * std::sin(phi) * std::cos(theta),
                                c[1] + r * std::sin(phi) * std::sin(theta), c[2] + r * std::cos(phi)});
        }
    }
    m.points.push_back({c[0], c[1], c[2] - r});
    const int south = int(m.points.size()) - 1;
    auto at = [&](int ring, int s) { return 1 + (ring - 1) * segments + s % segments; };
    auto face = [&](int a, int b, int d) { m.faces.push_back(Face{{a, b, d}, material, 1}); };
    for (int s = 0; s < segments; ++s)
        face(0, at(1, s), at(1, s + 1));
    for (int i = 1; i < rings - 1; ++i)
        for (int s = 0; s < segments; ++s) {
            face(at(i, s), at(i + 1, s), at(i + 1, s + 1));
            face(at(i, s), at(i + 1, s + 1), at(i, s + 1));
        }
    for (int s = 0; s < segments; ++s)
        face(south, at(rings - 1, s + 1), at(rings - 1, s));
    return m;
}

} // namespace models
