#include "scenes/raytracer/FlattenStaging.h"

#include "core/PrimitiveLayout.h"
#include "core/PrimitiveWriter.h"

float* FlattenStaging::texels() {
    if (array.empty()) {
        array.resize(size_t(primitive::kTexels) * primitive::kFloatsPerTexel);
        PrimitiveWriter::resetTexels(array.data());
    }
    return array.data();
}
