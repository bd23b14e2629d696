#pragma once
#include "core/PrimitiveLayout.h"
#include "core/PrimitiveRecords.h"
#include "core/PrimitiveWriter.h"
#include "tools/models/Mesh.h"

#include <algorithm>
#include <vector>

// Fills a primitive-buffer image by hand, record by record through the writer's
// record functions, so the ray-tracing shader can be exercised on exact scenes
// without a 3D Studio file. Header-only: the benchmarks use it too. Triangles are
// grouped by 26 under group boxes and meshes get their own boxes, as the
// flattening does.
class PrimitiveSceneBuilder {
  public:
    struct Vec3 {
        float x, y, z;
    };

    PrimitiveSceneBuilder() : texels(size_t(primitive::kTexels) * primitive::kFloatsPerTexel, 0.0f) {}

    int material(Vec3 diffuse, Vec3 specular = {0, 0, 0}, float shininess = 0, float shinStrength = 0,
                 float reflection = 0, int slot = -1) {
        primitive::writeMaterial(data(), materials, F3(diffuse).v, shinStrength, F3(specular).v, shininess,
                                 reflection, float(slot));
        return materials++;
    }

    void light(Vec3 position, Vec3 colour, float multiplier = 1, bool off = false) {
        primitive::writeLight(data(), lights++, F3(position).v, off, F3(colour).v, multiplier);
    }

    // A triangle mesh; castsShadow false is a "NoS" mesh. Normals default to the
    // face normal, texture coordinates to 0.
    void beginMesh(bool castsShadow = true) {
        meshFlag = castsShadow ? 1.0f : 0.0f;
        meshFirstEntry = volumes;
        groupStart = nextTriangle;
        resetBox(groupMin, groupMax, primitive::kBoxStart);
        resetBox(meshMin, meshMax, primitive::kBoxStart);
    }

    void triangle(Vec3 p0, Vec3 p1, Vec3 p2, int materialIndex, const float* uvs = nullptr,
                  const Vec3* normals = nullptr) {
        Vec3 n = cross(sub(p0, p1), sub(p2, p1));
        Vec3 ns[3] = {n, n, n};
        if (normals)
            std::copy(normals, normals + 3, ns);
        float uv[6] = {0, 0, 0, 0, 0, 0};
        if (uvs)
            std::copy(uvs, uvs + 6, uv);
        const float normalFloats[12] = {ns[0].x, ns[0].y, ns[0].z, 0,       ns[1].x, ns[1].y,
                                        ns[1].z, 0,       ns[2].x, ns[2].y, ns[2].z, 0};
        const float points[3][4] = {{p0.x, p0.y, p0.z, 0}, {p1.x, p1.y, p1.z, 0}, {p2.x, p2.y, p2.z, 0}};
        primitive::writeTriangle(data(), nextTriangle, points[0], points[1], points[2], normalFloats, uv,
                                 float(materialIndex), meshFlag);
        for (Vec3 p : {p0, p1, p2})
            extend(groupMin, groupMax, p);
        nextTriangle += primitive::kTriangleTexels;
        if (nextTriangle - groupStart > primitive::kGroupCloseTexels)
            closeGroup();
    }

    // Face `index` of a geometry-kit mesh, with its face normal and no texture
    // coordinates.
    void face(const models::Mesh& mesh, size_t index, int materialIndex) {
        const models::Face& f = mesh.faces[index];
        auto at = [&](int p) { return Vec3{mesh.points[p][0], mesh.points[p][1], mesh.points[p][2]}; };
        triangle(at(f.points[0]), at(f.points[1]), at(f.points[2]), materialIndex);
    }

    // Two triangles spanning the parallelogram corner, corner + u, corner + v.
    void quad(Vec3 corner, Vec3 u, Vec3 v, int materialIndex) {
        Vec3 a = corner, b = add(corner, u), c = add(add(corner, u), v), d = add(corner, v);
        const float uv0[6] = {0, 0, 1, 0, 1, 1};
        const float uv1[6] = {0, 0, 1, 1, 0, 1};
        triangle(a, b, c, materialIndex, uv0);
        triangle(a, c, d, materialIndex, uv1);
    }

    void endMesh() {
        closeGroup();
        addMesh();
    }

    void sphere(Vec3 centre, float radius, int materialIndex) {
        meshFirstEntry = volumes;
        primitive::writeSphere(data(), volumes++, F3(centre).v, radius, float(materialIndex));
        meshMin = sub(centre, {radius, radius, radius});
        meshMax = add(centre, {radius, radius, radius});
        addMesh();
    }

    void box(Vec3 lo, Vec3 hi, int materialIndex) {
        meshFirstEntry = volumes;
        primitive::writeBox(data(), volumes++, F3(lo).v, F3(hi).v, float(materialIndex));
        meshMin = lo;
        meshMax = hi;
        addMesh();
    }

    // The finished image; lightCount defaults to the lights added.
    const std::vector<float>& finish(int lightCount = -1) {
        primitive::writeHeader(data(), nextTriangle - primitive::kTriangleBase, volumes,
                               lightCount < 0 ? lights : lightCount, meshes);
        return texels;
    }

    int triangleTexels() const { return nextTriangle - primitive::kTriangleBase; }

    // The texels written, one range per region, as a flattening reports them.
    std::vector<TexelRange> ranges() const {
        std::vector<TexelRange> written = {{primitive::kHeaderTexel, 1}};
        const TexelRange regions[] = {{primitive::kTriangleBase, triangleTexels()},
                                      {primitive::kVolumeBase, primitive::kVolumeTexels * volumes},
                                      {primitive::kMaterialBase, primitive::kMaterialTexels * materials},
                                      {primitive::kLightBase, primitive::kLightTexels * lights},
                                      {primitive::kMeshBase, primitive::kMeshTexels * meshes}};
        for (const TexelRange& r : regions)
            if (r.count > 0)
                written.push_back(r);
        return written;
    }

  private:
    static Vec3 add(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    static Vec3 sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    static Vec3 cross(Vec3 a, Vec3 b) {
        return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    }
    static void resetBox(Vec3& lo, Vec3& hi, float start) {
        lo = {start, start, start};
        hi = {-start, -start, -start};
    }
    static void extend(Vec3& lo, Vec3& hi, Vec3 p) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }

    // A vector as the record functions take it.
    struct F3 {
        float v[3];
        explicit F3(Vec3 a) : v{a.x, a.y, a.z} {}
    };
    float* data() { return texels.data(); }

    void closeGroup() {
        primitive::writeGroup(data(), volumes++, F3(groupMin).v, F3(groupMax).v, groupStart, nextTriangle);
        meshMin = {std::min(meshMin.x, groupMin.x), std::min(meshMin.y, groupMin.y),
                   std::min(meshMin.z, groupMin.z)};
        meshMax = {std::max(meshMax.x, groupMax.x), std::max(meshMax.y, groupMax.y),
                   std::max(meshMax.z, groupMax.z)};
        groupStart = nextTriangle;
        resetBox(groupMin, groupMax, primitive::kBoxStart);
    }

    void addMesh() {
        primitive::writeMesh(data(), meshes++, F3(meshMin).v, F3(meshMax).v, meshFirstEntry, volumes);
    }

    std::vector<float> texels;
    int nextTriangle = primitive::kTriangleBase;
    int volumes = 0, materials = 0, lights = 0, meshes = 0;
    float meshFlag = 1;
    int meshFirstEntry = 0, groupStart = primitive::kTriangleBase;
    Vec3 groupMin{}, groupMax{}, meshMin{}, meshMax{};
};
