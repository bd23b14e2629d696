#include "core/MaterialSlots.h"

#include "core/Studio3dsFile.h"

MaterialSlots materialSlots(const std::vector<const char*>& textureMapNames) {
    MaterialSlots slots;
    for (const char* name : textureMapNames) {
        bool textured = name && name[0];
        if (textured && slots.textured < primitive::kMaterialSamplers) {
            slots.samplers[slots.textured] = slots.textured + 1;
            slots.slot.push_back(slots.textured++);
        } else {
            slots.beyondSamplers += textured ? 1 : 0;
            slots.slot.push_back(-1);
        }
    }
    for (int k = slots.textured; k < primitive::kMaterialSamplers; ++k)
        slots.samplers[k] = slots.textured + 1;
    return slots;
}

MaterialSlots materialSlots(const Studio3dsFile& file) {
    std::vector<const char*> names;
    for (int m = 0; m < file.materialCount(); ++m)
        names.push_back(file.textureMapName(m));
    return materialSlots(names);
}
