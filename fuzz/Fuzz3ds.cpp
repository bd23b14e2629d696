#include "FuzzCheck.h"
#include "core/PrimitiveLayout.h"
#include "core/PrimitiveWriter.h"
#include "core/Studio3dsFile.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

using namespace primitive;

namespace {

const float* texel(const std::vector<float>& texels, int index) {
    return &texels[size_t(index) * kFloatsPerTexel];
}

// What the ray shader relies on when it walks the buffer: the header counts what
// was written, each mesh names volume entries that exist, and each triangle group
// covers whole triangle records that were written.
void checkWalk(const std::vector<float>& texels, const FlattenReport& report) {
    const float* header = texel(texels, kHeaderTexel);
    FUZZ_CHECK(header[kHeaderTriangleTexels] == float(kTriangleTexels * report.triangles));
    FUZZ_CHECK(header[kHeaderVolumes] == float(report.volumes));
    FUZZ_CHECK(header[kHeaderMeshes] == float(report.meshes));
    FUZZ_CHECK(report.triangles <= kTriangleCapacity && report.volumes <= kVolumeCapacity);
    FUZZ_CHECK(report.meshes <= kMeshCapacity && report.lights <= kLightCapacity);
    const float trianglesEnd = float(kTriangleBase + kTriangleTexels * report.triangles);
    for (int k = 0; k < report.meshes; ++k) {
        float first = texel(texels, kMeshBase + kMeshTexels * k + kMeshMin)[3];
        float last = texel(texels, kMeshBase + kMeshTexels * k + kMeshMax)[3];
        FUZZ_CHECK(0 <= first && first <= last && last <= float(report.volumes));
    }
    for (int e = 0; e < report.volumes; ++e) {
        float a = texel(texels, kVolumeBase + kVolumeTexels * e + kVolumeA)[3];
        float b = texel(texels, kVolumeBase + kVolumeTexels * e + kVolumeB)[3];
        if (a == kVolumeSphere || a == kVolumeBox)
            continue;
        FUZZ_CHECK(kTriangleBase <= a && a <= b && b <= trianglesEnd);
        FUZZ_CHECK(std::fmod(b - a, float(kTriangleTexels)) == 0);
    }
    int previousEnd = 0;
    for (const TexelRange& range : report.ranges) {
        FUZZ_CHECK(range.count > 0 && range.first >= previousEnd && range.first + range.count <= kTexels);
        previousEnd = range.first + range.count;
    }
}

} // namespace

// lib3ds leaks the part it was reading when it gives up on a file (and so does an
// abandoned read), once per broken file: not a finding of ours.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

// Any bytes as a 3D Studio file: the pre-scan must refuse what lib3ds cannot read
// safely, and a file it lets through must load, evaluate and flatten.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScratchFile file(".3ds");
    static std::vector<float> texels(size_t(kTexels) * kFloatsPerTexel);
    if (!file.write(data, size))
        return 0;
    std::unique_ptr<Studio3dsFile> scene = Studio3dsFile::open(file.path());
    if (!scene)
        return 0;
    PrimitiveWriter writer;
    writer.reset("fuzz.3ds");
    float frames = float(scene->frames());
    for (float frame : {0.0f, frames / 2, frames - 1}) {
        scene->eval(frame);
        checkWalk(texels, writer.write(*scene, 1.0f, texels.data()));
    }
    return 0;
}
