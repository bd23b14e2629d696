#pragma once
#include "core/PrimitiveLayout.h"

#include <vector>

class Studio3dsFile;

// Texture numbering of a file's materials, shared by the flattening (which stores
// the slot in each material record) and the scene (which binds the units and sets
// the samplers). The j-th material with a texture map name, j from 1, has its
// texture on unit j and its sampler "tex[j-1]", and stores j - 1 as its slot. The
// ray-tracing shader has nine samplers: textured materials beyond the ninth get
// slot -1 and no unit, so no sampler names a unit past 9.
struct MaterialSlots {
    std::vector<int> slot;                           // per material: j - 1, or -1
    int samplers[primitive::kMaterialSamplers] = {}; // value of "tex[k]": a unit
    int textured = 0;                                // materials given a unit
    int beyondSamplers = 0;                          // textured materials left without one

    // The texture unit of a material, 0 for none.
    int unit(int material) const { return slot[material] < 0 ? 0 : slot[material] + 1; }
};

// From the texture map names of the materials in order ("" for none). Samplers
// past the textured materials name the first unit after them.
MaterialSlots materialSlots(const std::vector<const char*>& textureMapNames);
MaterialSlots materialSlots(const Studio3dsFile& file);
