#pragma once
#include <array>
#include <cstdint>
#include <vector>

namespace brask {

// A textured triangle mesh around its own origin, z up: one texture coordinate
// per point (3D Studio keeps them so), seams carried by duplicated points.
struct Shape {
    std::vector<std::array<float, 3>> points;
    std::vector<std::array<float, 2>> uvs;
    std::vector<std::array<uint16_t, 3>> faces;
    std::vector<uint32_t> smoothing; // one group mask per face

    // A (columns + 1) x (rows + 1) lattice of points from `at(u, v)`, u and v in
    // [0, 1], textured with u * uScale, v * vScale, two faces a cell.
    template <class At>
    void lattice(int columns, int rows, float uScale, float vScale, uint32_t group, At at);
};

// A square floor of `size` a side in the z = 0 plane, the texture repeated `tiles` times.
Shape floorPlane(float size, int cells, float tiles);
// An upright cylinder from z = 0 to `height`, with caps unless `open`.
Shape cylinder(float radius, float height, int segments, float uTiles, float vTiles, bool open = false);
// A flat ring in the z = 0 plane, the texture running around it.
Shape annulus(float inner, float outer, int segments, float uTiles);
// A ring standing in the x-z plane around the y axis: `major` to the tube's
// centre, `minor` the tube's radius.
Shape torus(float major, float minor, int segments, int sides, float uTiles, float vTiles);
// A latitude-longitude sphere.
Shape sphere(float radius, int segments, int rings);

template <class At>
void Shape::lattice(int columns, int rows, float uScale, float vScale, uint32_t group, At at) {
    uint16_t first = uint16_t(points.size());
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= columns; ++c) {
            float u = float(c) / columns, v = float(r) / rows;
            points.push_back(at(u, v));
            uvs.push_back({u * uScale, v * vScale});
        }
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            uint16_t a = uint16_t(first + r * (columns + 1) + c), b = uint16_t(a + 1),
                     d = uint16_t(a + columns + 1), e = uint16_t(d + 1);
            faces.push_back({a, b, e});
            faces.push_back({a, e, d});
            smoothing.push_back(group);
            smoothing.push_back(group);
        }
}

} // namespace brask
