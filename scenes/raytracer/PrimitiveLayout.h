#pragma once

// Layout of the primitive buffer: the contract between the flattening on the CPU
// and the ray-tracing fragment shader, which repeats these numbers. Every texel is
// four 32-bit floats (x, y, z, w).
namespace primitive {

constexpr int kTexels = 1048576;
constexpr int kFloatsPerTexel = 4;
constexpr int kBufferBytes = kTexels * kFloatsPerTexel * 4; // 16 MiB

constexpr int kHeaderTexel = 0;

constexpr int kTriangleBase = 1;
constexpr int kTriangleTexels = 8;
constexpr int kTriangleCapacity = 65535;

constexpr int kVolumeBase = 524288; // 0x80000
constexpr int kVolumeTexels = 2;
constexpr int kVolumeCapacity = 131072;
constexpr float kVolumeSphere = -3.0f; // A.w of a sphere entry
constexpr float kVolumeBox = -2.0f;    // A.w of an axis-aligned box entry

constexpr int kMaterialBase = 786432; // 0xC0000
constexpr int kMaterialTexels = 3;
constexpr int kMaterialCapacity = 4522;

constexpr int kLightBase = 800000;
constexpr int kLightTexels = 2;
constexpr int kLightCapacity = 50000;

constexpr int kMeshBase = 900000;
constexpr int kMeshTexels = 2;
constexpr int kMeshCapacity = 74288;

// A triangle group closes once it spans more than this many texels (26 triangles).
constexpr int kGroupCloseTexels = 200;
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
