#pragma once
#include "core/PrimitiveLayout.h"

#include <array>
#include <string>
#include <vector>

// A mesh as the generator builds it before handing it to lib3ds: points, faces
// naming a material, and optional texture coordinates (one pair per point).
namespace models {

using Vec3 = std::array<float, 3>;
using Uv = std::array<float, 2>;

struct Face {
    std::array<int, 3> points;
    std::string material;
    unsigned smoothing = 0; // 0: flat, its own normal
};

struct Mesh {
    std::vector<Vec3> points;
    std::vector<Uv> uvs; // empty, or one per point
    std::vector<Face> faces;

    // Appends another mesh's points and faces (uvs are kept only when both have them).
    void append(const Mesh& other);
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
inline Vec3 operator*(Vec3 a, float s) {
    return {a[0] * s, a[1] * s, a[2] * s};
}
Vec3 cross(Vec3 a, Vec3 b);
float length(Vec3 a);
Vec3 normalized(Vec3 a);
Vec3 lerp(Vec3 a, Vec3 b, float t);

// Shapes. Boxes and beams are flat shaded; round shapes are one smoothing group.
// An axis-aligned box, 8 points and 12 faces, faces pointing out.
Mesh box(Vec3 min, Vec3 max, const std::string& material);
// The same box with 24 points, each face's uvs running 0 to 1 over it as a
// "PAABox22" box's texture does, for a box that has to be part of a triangle mesh.
Mesh texturedBox(Vec3 min, Vec3 max, const std::string& material);
// A square beam of width `width` from a to b, without end caps (8 faces).
Mesh beam(Vec3 a, Vec3 b, float width, const std::string& material);
// A latitude-longitude sphere with uvs; `rings` and `segments` even so that points
// lie on the x axis at +-radius.
Mesh uvSphere(Vec3 centre, float radius, int rings, int segments, const std::string& material);
// The cheapest mesh whose x extent is 2 * radius: an octahedron, for "Sphere" meshes
// (the ray tracer replaces them by the true sphere).
Mesh sphereProxy(Vec3 centre, float radius, const std::string& material);
// A torus around the z axis through `centre`, with uvs.
Mesh torus(Vec3 centre, float major, float minor, int around, int tube, const std::string& material);
// A tube following a closed path, `sides` around, with uvs.
Mesh tube(const std::vector<Vec3>& path, float radius, int sides, const std::string& material);
// A flat rectangle in the z = `height` plane from (x0, y0), two faces. Its uvs run
// `uvPerUnit` per unit of length: the texture repeats across it, so a floor needs
// no more faces than these two (a finer grid would only give the tracer more
// triangles to test).
Mesh floorPlane(float x0, float y0, float width, float depth, float height, float uvPerUnit,
                const std::string& material);

// Cuts a mesh into `pieces` runs of consecutive faces, in the order they were made
// (along a tube's path, for one), each with only the points it uses and its faces
// spatially ordered. Every mesh box is tested by every ray and every group box of a
// mesh a ray enters is tested too: a long mesh in pieces, each a node with the same
// motion, is a few more mesh tests for many fewer group tests.
std::vector<Mesh> cutInRuns(const Mesh& mesh, int pieces);

// Faces the ray tracer boxes together (one group under one box).
constexpr int kGroupFaces = primitive::kGroupFaces;

// Reorders faces so that each run of 26 consecutive faces is spatially compact: the
// ray tracer boxes every 26 consecutive faces of a mesh, and compact boxes are what
// make that hierarchy fast.
void orderFacesSpatially(Mesh& mesh);

} // namespace models
