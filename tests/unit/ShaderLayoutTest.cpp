#include "core/MeshRuns.h"
#include "core/PrimitiveLayout.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

std::string rayShaderSource() {
    std::ifstream in(DEMO_SOURCE_DIR "/data/shaders/RaytracerPolygonsFrag.glsl");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The ray-tracing shader repeats the buffer layout; these must not drift apart.
TEST(ShaderLayout, RayShaderConstantsEqualTheHeader) {
    const struct {
        const char* name;
        double value;
    } shared[] = {
        {"kHeaderTexel", primitive::kHeaderTexel},
        {"kHeaderTriangleTexels", primitive::kHeaderTriangleTexels},
        {"kHeaderVolumes", primitive::kHeaderVolumes},
        {"kHeaderLights", primitive::kHeaderLights},
        {"kHeaderMeshes", primitive::kHeaderMeshes},
        {"kTriangleOrigin", primitive::kTriangleOrigin},
        {"kTriangleEdge0", primitive::kTriangleEdge0},
        {"kTriangleEdge2", primitive::kTriangleEdge2},
        {"kTriangleNormal0", primitive::kTriangleNormal0},
        {"kTriangleNormal1", primitive::kTriangleNormal1},
        {"kTriangleNormal2", primitive::kTriangleNormal2},
        {"kTriangleUv01", primitive::kTriangleUv01},
        {"kTriangleUv2", primitive::kTriangleUv2},
        {"kVolumeA", primitive::kVolumeA},
        {"kVolumeB", primitive::kVolumeB},
        {"kMaterialDiffuse", primitive::kMaterialDiffuse},
        {"kMaterialSpecular", primitive::kMaterialSpecular},
        {"kMaterialReflection", primitive::kMaterialReflection},
        {"kLightPosition", primitive::kLightPosition},
        {"kLightColour", primitive::kLightColour},
        {"kMeshMin", primitive::kMeshMin},
        {"kMeshMax", primitive::kMeshMax},
        {"kTriangleBase", primitive::kTriangleBase},
        {"kTriangleTexels", primitive::kTriangleTexels},
        {"kTriangleCapacity", primitive::kTriangleCapacity},
        {"kVolumeBase", primitive::kVolumeBase},
        {"kVolumeTexels", primitive::kVolumeTexels},
        {"kVolumeCapacity", primitive::kVolumeCapacity},
        {"kVolumeSphere", primitive::kVolumeSphere},
        {"kVolumeBox", primitive::kVolumeBox},
        {"kMaterialBase", primitive::kMaterialBase},
        {"kMaterialTexels", primitive::kMaterialTexels},
        {"kMaterialCapacity", primitive::kMaterialCapacity},
        {"kLightBase", primitive::kLightBase},
        {"kLightTexels", primitive::kLightTexels},
        {"kLightCapacity", primitive::kLightCapacity},
        {"kMeshBase", primitive::kMeshBase},
        {"kMeshTexels", primitive::kMeshTexels},
        {"kMeshCapacity", primitive::kMeshCapacity},
        {"kMaterialSamplers", primitive::kMaterialSamplers},
        {"kMaxMeshRuns", kMaxMeshRuns},
    };
    std::string source = rayShaderSource();
    ASSERT_FALSE(source.empty());
    for (const auto& c : shared) {
        std::regex declaration(std::string("const\\s+(int|float)\\s+") + c.name +
                               "\\s*=\\s*([-0-9.eE+]+)\\s*;");
        std::smatch match;
        ASSERT_TRUE(std::regex_search(source, match, declaration)) << c.name << " missing from the shader";
        EXPECT_EQ(std::stod(match[2].str()), c.value) << c.name;
    }
    // Records are read only through the named offsets: no texel is fetched at a
    // bare number or at a bare offset from a record's first texel.
    std::regex bareFetch("fetch\\(\\s*[0-9]+\\s*\\)|fetch\\([A-Za-z.]+\\s*\\+\\s*[0-9]+\\s*\\)");
    std::smatch bare;
    EXPECT_FALSE(std::regex_search(source, bare, bareFetch)) << bare.str();
    // Sampler array and buffer unit follow the same numbers.
    EXPECT_NE(source.find("uniform sampler2D tex[kMaterialSamplers];"), std::string::npos);
    for (int k = 0; k < primitive::kMaterialSamplers; ++k)
        EXPECT_NE(
            source.find("case " + std::to_string(k) + ": return textureLod(tex[" + std::to_string(k) + "]"),
            std::string::npos)
            << "no sampler case for slot " << k;
}

} // namespace
