// The show's five 3D Studio files as the generator writes them: the same bytes on
// every run, and each one holding what its scene needs, read back through the
// adapter and the primitive writer exactly as the show reads them.
#include "core/PrimitiveLayout.h"
#include "core/PrimitiveWriter.h"
#include "core/Studio3dsFile.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct ShowModel {
    const char* file;
    int beatsOnScreen;
    int framesPerBeat;
};
const ShowModel kShowModels[] = {{"intro.3ds", 48, 16},
                                 {"spheres.3ds", 64, 16},
                                 {"ull1.3ds", 64, 16},
                                 {"test9.3ds", 64, 8},
                                 {"info.3ds", 64, 16}};
const std::set<std::string> kBitmaps = {"marble.bmp", "checker.bmp", "brushed.bmp", "grid.bmp",
                                        "wood.bmp",   "brass.bmp",   "lava.bmp",    "stripes.bmp"};

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

float diagonal(const float* lo, const float* hi) {
    return std::sqrt((hi[0] - lo[0]) * (hi[0] - lo[0]) + (hi[1] - lo[1]) * (hi[1] - lo[1]) +
                     (hi[2] - lo[2]) * (hi[2] - lo[2]));
}

// What one flattened frame holds, counted from the buffer itself.
struct Contents {
    int spheres = 0, boxes = 0, groups = 0, noShadowTriangles = 0, reflective = 0;
    float worstGroupSpread = 0; // mean group diagonal over what a compact mesh allows, at most 1
};

Contents count(const std::vector<float>& texels, const FlattenReport& report) {
    auto texel = [&](int i) { return &texels[size_t(i) * 4]; };
    Contents c;
    for (int m = 0; m < report.meshes; ++m) {
        const float* a = texel(primitive::kMeshBase + 2 * m);
        const float* b = a + 4;
        float groupDiagonals = 0;
        int fullGroups = 0;
        for (int e = int(a[3]); e < int(b[3]); ++e) {
            const float* ea = texel(primitive::kVolumeBase + 2 * e);
            const float* eb = ea + 4;
            if (ea[3] == primitive::kVolumeSphere) {
                ++c.spheres;
            } else if (ea[3] == primitive::kVolumeBox) {
                ++c.boxes;
            } else {
                ++c.groups;
                if (eb[3] - ea[3] == 26 * primitive::kTriangleTexels) {
                    groupDiagonals += diagonal(ea, eb);
                    ++fullGroups;
                }
                for (int t = int(ea[3]); t < int(eb[3]); t += primitive::kTriangleTexels)
                    c.noShadowTriangles += texel(t + 1)[3] == 0.0f;
            }
        }
        // A compact group of 26 spans about 1 / sqrt(groups) of a surface mesh; allow
        // half as much again, and never ask for less than a third of the mesh.
        if (fullGroups >= 8) {
            float spread = groupDiagonals / fullGroups / diagonal(a, b);
            float allowed = std::max(0.35f, 1.5f / std::sqrt(float(fullGroups)));
            c.worstGroupSpread = std::max(c.worstGroupSpread, spread / allowed);
        }
    }
    for (int m = 0; m < report.materials; ++m)
        c.reflective += texel(primitive::kMaterialBase + 3 * m + 2)[0] > 0.0f;
    return c;
}

TEST(ShowModels, GeneratedTwiceAlikeAndHoldingWhatTheScenesNeed) {
    const std::string generator = MODELS_TOOL;
    const std::string first = makeScratchDir("show_models_a"), second = makeScratchDir("show_models_b");
    ASSERT_EQ(runCommand("'" + generator + "' '" + first + "' >/dev/null"), 0) << generator;
    // The second run with freshly allocated memory filled with garbage: bytes the
    // writer never set would differ.
    ASSERT_EQ(runCommand("MALLOC_PERTURB_=165 '" + generator + "' '" + second + "' >/dev/null"), 0);

    std::vector<float> texels(size_t(primitive::kTexels) * 4);
    for (const ShowModel& model : kShowModels) {
        SCOPED_TRACE(model.file);
        const std::string path = first + "/" + model.file;
        const std::string bytes = readBytes(path);
        ASSERT_FALSE(bytes.empty());
        EXPECT_TRUE(bytes == readBytes(second + "/" + model.file)) << "two runs wrote different bytes";

        std::unique_ptr<Studio3dsFile> file = Studio3dsFile::open(path.c_str());
        ASSERT_TRUE(file);
        // The last frame the scene shows, sceneTime at its end, must not wrap to the start.
        EXPECT_GE(file->frames(), int(model.framesPerBeat * (model.beatsOnScreen + 0.35)) + 1);
        int textured = 0;
        for (int m = 0; m < file->materialCount(); ++m)
            if (file->textureMapName(m)[0]) {
                ++textured;
                EXPECT_EQ(kBitmaps.count(file->textureMapName(m)), 1u) << file->textureMapName(m);
            }
        EXPECT_LE(textured, primitive::kMaterialSamplers);

        PrimitiveWriter writer;
        writer.reset(path);
        PrimitiveWriter::resetTexels(texels.data());
        testing::internal::CaptureStderr();
        float previousPosition[3] = {0, 0, 0};
        const int lastFrame = int(model.framesPerBeat * (model.beatsOnScreen + 0.35));
        for (int frame : {0, lastFrame / 3, lastFrame}) {
            file->eval(float(frame));
            FlattenReport report = writer.write(*file, 1.0f, texels.data());
            EXPECT_GT(report.camera.fov, 0) << "frame " << frame;
            EXPECT_GT(report.camera.focusDistance, 0) << "frame " << frame;
            EXPECT_GE(report.lights, 1);
            EXPECT_GE(report.triangles, 500); // floors are two faces each
            EXPECT_LE(report.triangles, 30000);
            Contents c = count(texels, report);
            EXPECT_GE(c.spheres, 1);
            EXPECT_GE(c.boxes, 1);
            EXPECT_GE(c.groups, 1);
            EXPECT_GE(c.noShadowTriangles, 1);
            EXPECT_GE(c.reflective, 1);
            // Runs of 26 faces are compact: unordered faces make groups as large as their mesh.
            EXPECT_LT(c.worstGroupSpread, 1.0f);
            if (frame > 0) {
                EXPECT_NE(std::vector<float>(previousPosition, previousPosition + 3),
                          std::vector<float>(report.camera.position, report.camera.position + 3))
                    << "the camera stands still";
            }
            std::copy(report.camera.position, report.camera.position + 3, previousPosition);
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
}

} // namespace
