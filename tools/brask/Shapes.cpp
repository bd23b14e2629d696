#include "Shapes.h"

#include <cmath>

namespace brask {

namespace {
constexpr float kTau = 6.28318530717958647692f;
} // namespace

Shape floorPlane(float size, int cells, float tiles) {
    Shape s;
    s.lattice(cells, cells, tiles, tiles, 1, [&](float u, float v) {
        return std::array<float, 3>{(u - 0.5f) * size, (v - 0.5f) * size, 0.0f};
    });
    return s;
}

Shape cylinder(float radius, float height, int segments, float uTiles, float vTiles, bool open) {
    Shape s;
    s.lattice(segments, 1, uTiles, vTiles, 1, [&](float u, float v) {
        return std::array<float, 3>{radius * std::cos(u * kTau), radius * std::sin(u * kTau), v * height};
    });
    if (open)
        return s;
    // Each cap: a fan around its centre, textured as a disc cut from the map.
    for (int cap = 0; cap < 2; ++cap) {
        float z = cap ? height : 0.0f;
        uint16_t centre = uint16_t(s.points.size());
        s.points.push_back({0, 0, z});
        s.uvs.push_back({0.5f, 0.5f});
        for (int i = 0; i < segments; ++i) {
            float a = kTau * i / segments;
            s.points.push_back({radius * std::cos(a), radius * std::sin(a), z});
            s.uvs.push_back({0.5f + 0.5f * std::cos(a), 0.5f + 0.5f * std::sin(a)});
        }
        for (int i = 0; i < segments; ++i) {
            uint16_t a = uint16_t(centre + 1 + i), b = uint16_t(centre + 1 + (i + 1) % segments);
            s.faces.push_back(cap ? std::array<uint16_t, 3>{centre, a, b}
                                  : std::array<uint16_t, 3>{centre, b, a});
            s.smoothing.push_back(0);
        }
    }
    return s;
}

Shape annulus(float inner, float outer, int segments, float uTiles) {
    Shape s;
    s.lattice(segments, 1, uTiles, 1, 1, [&](float u, float v) {
        float r = inner + v * (outer - inner);
        return std::array<float, 3>{r * std::cos(u * kTau), r * std::sin(u * kTau), 0.0f};
    });
    return s;
}

Shape torus(float major, float minor, int segments, int sides, float uTiles, float vTiles) {
    Shape s;
    s.lattice(segments, sides, uTiles, vTiles, 1, [&](float u, float v) {
        float a = u * kTau, b = v * kTau, r = major + minor * std::cos(b);
        return std::array<float, 3>{r * std::cos(a), minor * std::sin(b), r * std::sin(a)};
    });
    return s;
}

Shape sphere(float radius, int segments, int rings) {
    Shape s;
    s.lattice(segments, rings, 2, 1, 1, [&](float u, float v) {
        float a = u * kTau, polar = (1 - v) * kTau / 2;
        return std::array<float, 3>{radius * std::sin(polar) * std::cos(a),
                                    radius * std::sin(polar) * std::sin(a), radius * std::cos(polar)};
    });
    return s;
}

} // namespace brask
