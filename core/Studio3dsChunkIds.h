#pragma once
#include <cstddef>
#include <cstdint>

// Chunk ids of the 3D Studio format that this program reads or rewrites itself
// (the adapter's chunk scan and the model optimizer; lib3ds knows them all), and
// the size of a chunk header: a 16-bit id and a 32-bit length, little-endian.
namespace chunk3ds {

constexpr uint16_t kMain = 0x4D4D;
constexpr uint16_t kMeshData = 0x3D3D;
constexpr uint16_t kNamedObject = 0x4000;
constexpr uint16_t kTriangleObject = 0x4100;
constexpr uint16_t kPointArray = 0x4110;
constexpr uint16_t kFaceArray = 0x4120;
constexpr uint16_t kMaterialGroup = 0x4130;
constexpr uint16_t kSmoothGroup = 0x4150;
constexpr uint16_t kLight = 0x4600;
constexpr uint16_t kCamera = 0x4700;
constexpr uint16_t kMaterialName = 0xA000;
constexpr uint16_t kMaterial = 0xAFFF;
constexpr uint16_t kKeyframes = 0xB000;
constexpr size_t kHeader = 6;

} // namespace chunk3ds
