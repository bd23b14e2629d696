#pragma once

// Layout of the primitive buffer: the contract between the flattening on the CPU
// and the ray-tracing fragment shader, which repeats these numbers. Every texel is
// four 32-bit floats (x, y, z, w).
namespace primitive {

constexpr int kTexels = 1048576;
constexpr int kFloatsPerTexel = 4;
constexpr int kBufferBytes = kTexels * kFloatsPerTexel * 4; // 16 MiB

constexpr int kHeaderTexel = 0;
// Header lanes (x, y, z, w): texels written in the triangle region (8 per
// triangle), bounding-volume entries, the file's light count, mesh entries.
constexpr int kHeaderTriangleTexels = 0;
constexpr int kHeaderVolumes = 1;
constexpr int kHeaderLights = 2;
constexpr int kHeaderMeshes = 3;

constexpr int kTriangleBase = 1;
constexpr int kTriangleTexels = 8;
constexpr int kTriangleCapacity = 65535;
// Texels of a triangle record, from its first. P0, P1, P2 are its points in face
// order; the record keeps P1 and the edges from it.
constexpr int kTriangleOrigin = 0;  // P1; w: material index
constexpr int kTriangleEdge0 = 1;   // P0 - P1; w: mesh flag (0 for "NoS" meshes)
constexpr int kTriangleEdge2 = 2;   // P2 - P1
constexpr int kTriangleNormal0 = 3; // N0, the normal at P0
constexpr int kTriangleNormal1 = 4;
constexpr int kTriangleNormal2 = 5;
constexpr int kTriangleUv01 = 6; // (U0, V0, U1); w: V1
constexpr int kTriangleUv2 = 7;  // (U2, V2)

constexpr int kVolumeBase = 524288; // 0x80000
constexpr int kVolumeTexels = 2;
constexpr int kVolumeCapacity = 131072;
constexpr float kVolumeSphere = -3.0f; // A.w of a sphere entry
constexpr float kVolumeBox = -2.0f;    // A.w of an axis-aligned box entry
// Texels of an entry. Group: A (min, first triangle texel), B (max, texel after
// the last). Sphere: A (centre, -3), B (radius, 0, 0, material). Box: A (min, -2),
// B (max, material).
constexpr int kVolumeA = 0;
constexpr int kVolumeB = 1;

constexpr int kMaterialBase = 786432; // 0xC0000
constexpr int kMaterialTexels = 3;
constexpr int kMaterialCapacity = 4522;
constexpr int kMaterialDiffuse = 0;    // w: shininess strength
constexpr int kMaterialSpecular = 1;   // w: shininess
constexpr int kMaterialReflection = 2; // x: reflection percent; w: texture slot, -1 for none

constexpr int kLightBase = 800000;
constexpr int kLightTexels = 2;
constexpr int kLightCapacity = 50000;
constexpr int kLightPosition = 0; // w: 1 when switched off
constexpr int kLightColour = 1;   // w: multiplier

constexpr int kMeshBase = 900000;
constexpr int kMeshTexels = 2;
constexpr int kMeshCapacity = 74288;
constexpr int kMeshMin = 0; // minimum corner; w: first bounding-volume entry
constexpr int kMeshMax = 1; // maximum corner; w: the entry after its last

// A triangle group closes once it spans more than this many texels (26 triangles).
constexpr int kGroupCloseTexels = 200;
// Faces in a full group: every run of this many consecutive faces of a mesh, from
// its first, is one group under one box.
constexpr int kGroupFaces = kGroupCloseTexels / kTriangleTexels + 1;
// Starting boxes: groups, boxes and meshes start at +-10000, spheres at +-100000.
constexpr float kBoxStart = 10000.0f;
constexpr float kSphereStart = 100000.0f;

// The ray-tracing shader has samplers tex[0] to tex[8]; the buffer texture sits on unit 15.
constexpr int kMaterialSamplers = 9;
constexpr int kBufferTextureUnit = 15;

// The region a texel belongs to, as the inspector names it.
inline const char* regionName(int texel) {
    if (texel < kTriangleBase)
        return "header";
    if (texel < kVolumeBase)
        return "triangle";
    if (texel < kMaterialBase)
        return "volume";
    if (texel < kLightBase)
        return "material";
    if (texel < kMeshBase)
        return "light";
    return "mesh";
}

} // namespace primitive
