#pragma once
#include "tools/models/Mesh.h"

#include <string>

// Shapes made as one lattice of points, row by row, and the few made by hand
// around them. The files written from them (the model scene's, the tests'
// fixtures) and the benchmark's scene depend on the exact order of points and
// faces, so each builder keeps the order it was first written with.
namespace models {

// One point of a lattice: its column and row, and where they fall from 0 to 1.
struct LatticePoint {
    int column, row;
    float u, v; // column / columns, row / rows
};

// A (columns + 1) x (rows + 1) lattice of points `at(LatticePoint)`, row after row,
// with uvs (u * uvScale[0], v * uvScale[1]); two faces a cell, from column c and
// row r: (c, r) (c + 1, r) (c + 1, r + 1) and (c, r) (c + 1, r + 1) (c, r + 1),
// all in smoothing group `smoothing`.
template <class At>
Mesh lattice(int columns, int rows, Uv uvScale, const std::string& material, unsigned smoothing, At at);

// Shapes around their own origin, z up, one smoothing group, textured:
// A square floor of `size` a side in the z = 0 plane, `cells` a side, the texture
// repeated `tiles` times.
Mesh tiledFloor(float size, int cells, float tiles, const std::string& material);
// An upright cylinder from z = 0 to `height`, with flat-shaded caps unless `open`.
Mesh cylinder(float radius, float height, int segments, Uv tiles, const std::string& material,
              bool open = false);
// A flat ring in the z = 0 plane, the texture running `uTiles` times around it.
Mesh annulus(float inner, float outer, int segments, float uTiles, const std::string& material);
// A ring standing in the x-z plane around the y axis: `major` to the tube's
// centre, `minor` the tube's radius. Its faces turn clockwise seen from outside,
// the other way round from every other shape here (the model scene's rings are so).
Mesh standingTorus(float major, float minor, int segments, int sides, Uv tiles, const std::string& material);
// A latitude-longitude sphere from the south pole up, the texture twice around
// it; the faces of the first and last rows meet the poles in a point.
Mesh latticeSphere(float radius, int segments, int rings, const std::string& material);

// Untextured unless said, one smoothing group:
// A square grid of `cells` x `cells` cells of size 1 in the plane z = origin z,
// from `origin`: shared points, uvs running 0 to 1 over the whole grid.
Mesh grid(int cells, Vec3 origin, const std::string& material);
// A latitude-longitude sphere with one point at each pole and no uvs; `rings` and
// `segments` even, so that points lie on the x axis at +-radius and the x extent
// is exactly 2 * radius (the extent a "Sphere" mesh is read by).
Mesh polarSphere(Vec3 centre, float radius, int rings, int segments, const std::string& material);

template <class At>
Mesh lattice(int columns, int rows, Uv uvScale, const std::string& material, unsigned smoothing, At at) {
    Mesh m;
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= columns; ++c) {
            LatticePoint p{c, r, float(c) / columns, float(r) / rows};
            m.points.push_back(at(p));
            m.uvs.push_back({p.u * uvScale[0], p.v * uvScale[1]});
        }
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int a = r * (columns + 1) + c, b = a + 1, d = a + columns + 1, e = d + 1;
            m.faces.push_back(Face{{a, b, e}, material, smoothing});
            m.faces.push_back(Face{{a, e, d}, material, smoothing});
        }
    return m;
}

} // namespace models
