#pragma once
#include "core/PrimitiveLayout.h"

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

typedef float Float4 __attribute__((vector_size(16)));
typedef int Int4 __attribute__((vector_size(16)));

inline Float4 load4(const float* p) {
    Float4 v;
    memcpy(&v, p, sizeof v);
    return v;
}

inline void store4(float* p, Float4 v) {
    memcpy(p, &v, sizeof v);
}

// x, y, z of v into texel t, whose w is not written: one whole store of v with the
// w that t holds, cheaper than three narrow stores. Lanes picked by mask rather than
// by shuffle: compilers for plain SSE2 split such shuffles into scalar moves.
inline void storeXyz(float* t, Float4 v) {
    const Int4 xyz = {-1, -1, -1, 0};
    Int4 lanes, held;
    memcpy(&lanes, &v, sizeof lanes);
    memcpy(&held, t, sizeof held);
    lanes = (lanes & xyz) | (held & ~xyz);
    memcpy(t, &lanes, sizeof lanes);
}

// The record at texel `first` for points p0, p1, p2 and normals n (n, n + 4, n + 8)
// of 4 floats each (x, y, z and a fourth that is not stored), and texture
// coordinates (U0, V0, U1, V1, U2, V2). Whole texels at a time: this runs for every
// face of every frame.
inline void writeTriangle(float* __restrict texels, int first, const float* p0, const float* p1,
                          const float* p2, const float* n, const float* uv, float material, float meshFlag) {
    const Float4 a = load4(p0), b = load4(p1), c = load4(p2);
    Float4 origin = b, edge0 = a - b;
    origin[3] = material;
    edge0[3] = meshFlag;
    float* t = texelAt(texels, first);
    store4(t + kTriangleOrigin * kFloatsPerTexel, origin);
    store4(t + kTriangleEdge0 * kFloatsPerTexel, edge0);
    storeXyz(t + kTriangleEdge2 * kFloatsPerTexel, c - b);
    storeXyz(t + kTriangleNormal0 * kFloatsPerTexel, load4(n));
    storeXyz(t + kTriangleNormal1 * kFloatsPerTexel, load4(n + 4));
    storeXyz(t + kTriangleNormal2 * kFloatsPerTexel, load4(n + 8));
    store4(t + kTriangleUv01 * kFloatsPerTexel, load4(uv));                // (U0, V0, U1), V1
    memcpy(t + kTriangleUv2 * kFloatsPerTexel, uv + 4, 2 * sizeof(float)); // (U2, V2)
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
