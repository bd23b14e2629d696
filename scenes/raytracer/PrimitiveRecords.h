#pragma once
#include "scenes/raytracer/PrimitiveLayout.h"

#include <cstddef>
#include <cstring>

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

// The record at texel `first` for points p0, p1, p2 of 4 floats each (x, y, z and
// a fourth that is not stored), their normals (9 floats) and texture coordinates
// (2 floats each). Four lanes at a time: this runs for every face of every frame.
inline void writeTriangle(float* __restrict texels, int first, const float* p0, const float* p1,
                          const float* p2, const float* normals, const float* uv0, const float* uv1,
                          const float* uv2, float material, float meshFlag) {
    typedef float Float4 __attribute__((vector_size(16)));
    Float4 a, b, c;
    memcpy(&a, p0, sizeof a);
    memcpy(&b, p1, sizeof b);
    memcpy(&c, p2, sizeof c);
    Float4 origin = b, edge0 = a - b, edge2 = c - b;
    origin[3] = material;
    edge0[3] = meshFlag;
    float* t = texelAt(texels, first);
    memcpy(t + kTriangleOrigin * kFloatsPerTexel, &origin, sizeof origin);
    memcpy(t + kTriangleEdge0 * kFloatsPerTexel, &edge0, sizeof edge0);
    memcpy(t + kTriangleEdge2 * kFloatsPerTexel, &edge2, 3 * sizeof(float));
    // Lane by lane from here: gathering these into a vector first costs more than it saves.
    const int normalTexels[3] = {kTriangleNormal0, kTriangleNormal1, kTriangleNormal2};
    for (int i = 0; i < 3; ++i) {
        float* normal = t + normalTexels[i] * kFloatsPerTexel;
        normal[0] = normals[3 * i];
        normal[1] = normals[3 * i + 1];
        normal[2] = normals[3 * i + 2];
    }
    float* uv01 = t + kTriangleUv01 * kFloatsPerTexel;
    uv01[0] = uv0[0];
    uv01[1] = uv0[1];
    uv01[2] = uv1[0];
    uv01[3] = uv1[1];
    t[kTriangleUv2 * kFloatsPerTexel] = uv2[0];
    t[kTriangleUv2 * kFloatsPerTexel + 1] = uv2[1];
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
