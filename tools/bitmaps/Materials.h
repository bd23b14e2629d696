#pragma once
#include "tools/bitmaps/Image.h"

namespace bitmaps {

// Side of every procedural texture; each one tiles seamlessly.
constexpr int kTextureSide = 256;

// Material textures that the 3D Studio scenes name.
Image marble();
Image checker();
Image brushed();
Image grid();
Image wood();
Image brass();
Image lava();
Image stripes();

// Textures of the full-screen effect library.
Image dirt();
Image lavaDark();
Image grain();
Image voxels();
Image tiles(bool glazed);

} // namespace bitmaps
