#pragma once
#include "scenes/raytracer/PrimitiveLayout.h"

#include <cstddef>

// The records of the primitive buffer, each written through the offsets of
// PrimitiveLayout.h and nowhere else encoded. Vectors are 3 floats; components a
// record leaves undefined are not written. Inline: the triangle record is written
// for every face of every frame.
namespace primitive {

inline float* texelAt(float* texels, int index) {
    return texels + size_t(index) * kFloatsPerTexel;
}

inline void setTexel(float* t, const float* v, float w) {
    t[0] = v[0];
    t[1] = v[1];
    t[2] = v[2];
    t[3] = w;
}

inline void writeHeader(float* texels, int triangleTexels, int volumes, int lights, int meshes) {
    float* t = texelAt(texels, kHeaderTexel);
    t[kHeaderTriangleTexels] = float(triangleTexels);
    t[kHeaderVolumes] = float(volumes);
    t[kHeaderLights] = float(lights);
    t[kHeaderMeshes] = float(meshes);
}

// The record at texel `first` for points p0, p1, p2, their normals (9 floats) and
// texture coordinates (2 floats each).
inline void writeTriangle(float* __restrict texels, int first, const float* p0, const float* p1,
                          const float* p2, const float* __restrict normals, const float* uv0,
                          const float* uv1, const float* uv2, float material, float meshFlag) {
    float* t = texelAt(texels, first);
    float* origin = t + kTriangleOrigin * kFloatsPerTexel;
    float* edge0 = t + kTriangleEdge0 * kFloatsPerTexel;
    float* edge2 = t + kTriangleEdge2 * kFloatsPerTexel;
    for (int i = 0; i < 3; ++i) {
        origin[i] = p1[i];
        edge0[i] = p0[i] - p1[i];
        edge2[i] = p2[i] - p1[i];
    }
    origin[3] = material;
    edge0[3] = meshFlag;
    const int normalTexels[3] = {kTriangleNormal0, kTriangleNormal1, kTriangleNormal2};
    for (int n = 0; n < 3; ++n) {
        float* normal = t + normalTexels[n] * kFloatsPerTexel;
        normal[0] = normals[3 * n];
        normal[1] = normals[3 * n + 1];
        normal[2] = normals[3 * n + 2];
    }
    float* uv01 = t + kTriangleUv01 * kFloatsPerTexel;
    float* uv2t = t + kTriangleUv2 * kFloatsPerTexel;
    uv01[0] = uv0[0];
    uv01[1] = uv0[1];
    uv01[2] = uv1[0];
    uv01[3] = uv1[1];
    uv2t[0] = uv2[0];
    uv2t[1] = uv2[1];
}

// A triangle group over the records from texel `first` up to, not including, `end`.
inline void writeGroup(float* texels, int entry, const float* min, const float* max, int first, int end) {
    float* a = texelAt(texels, kVolumeBase + entry * kVolumeTexels);
    setTexel(a + kVolumeA * kFloatsPerTexel, min, float(first));
    setTexel(a + kVolumeB * kFloatsPerTexel, max, float(end));
}

inline void writeSphere(float* texels, int entry, const float* centre, float radius, float material) {
    float* a = texelAt(texels, kVolumeBase + entry * kVolumeTexels);
    const float radiusOnly[3] = {radius, 0.0f, 0.0f};
    setTexel(a + kVolumeA * kFloatsPerTexel, centre, kVolumeSphere);
    setTexel(a + kVolumeB * kFloatsPerTexel, radiusOnly, material);
}

inline void writeBox(float* texels, int entry, const float* min, const float* max, float material) {
    float* a = texelAt(texels, kVolumeBase + entry * kVolumeTexels);
    setTexel(a + kVolumeA * kFloatsPerTexel, min, kVolumeBox);
    setTexel(a + kVolumeB * kFloatsPerTexel, max, material);
}

inline void writeMaterial(float* texels, int material, const float* diffuse, float shinStrength,
                          const float* specular, float shininess, float reflection, float slot) {
    float* m = texelAt(texels, kMaterialBase + material * kMaterialTexels);
    const float reflectionOnly[3] = {reflection, 0.0f, 0.0f};
    setTexel(m + kMaterialDiffuse * kFloatsPerTexel, diffuse, shinStrength);
    setTexel(m + kMaterialSpecular * kFloatsPerTexel, specular, shininess);
    setTexel(m + kMaterialReflection * kFloatsPerTexel, reflectionOnly, slot);
}

inline void writeLight(float* texels, int light, const float* position, bool off, const float* colour,
                       float multiplier) {
    float* l = texelAt(texels, kLightBase + light * kLightTexels);
    setTexel(l + kLightPosition * kFloatsPerTexel, position, off ? 1.0f : 0.0f);
    setTexel(l + kLightColour * kFloatsPerTexel, colour, multiplier);
}

// A mesh entry over bounding-volume entries [firstEntry, endEntry).
inline void writeMesh(float* texels, int mesh, const float* min, const float* max, int firstEntry,
                      int endEntry) {
    float* m = texelAt(texels, kMeshBase + mesh * kMeshTexels);
    setTexel(m + kMeshMin * kFloatsPerTexel, min, float(firstEntry));
    setTexel(m + kMeshMax * kFloatsPerTexel, max, float(endEntry));
}

} // namespace primitive
