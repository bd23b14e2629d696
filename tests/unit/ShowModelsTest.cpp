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

// The truss lets rays through between its rings: the middle of a side between two
// rings, and a point just above the deck there, lie in no box of a group that casts
// shadows, while a point on each ring's post does. Each ring piece is a group of its
// own, thin along the flight; groups of spatially ordered faces spanned rings and a
// whole side, and every ray crossing a side or meeting the deck tested 26 triangles.
void expectTrussOpenBetweenRings(const std::vector<float>& texels, const FlattenReport& report) {
    auto texel = [&](int i) { return &texels[size_t(i) * 4]; };
    auto shadowGroupsAround = [&](float x, float y, float z) {
        int inside = 0;
        for (int e = 0; e < report.volumes; ++e) {
            const float* lo = texel(primitive::kVolumeBase + 2 * e);
            const float* hi = lo + 4;
            if (lo[3] == primitive::kVolumeSphere || lo[3] == primitive::kVolumeBox || hi[3] <= lo[3] ||
                texel(int(lo[3]) + 1)[3] == 0.0f)
                continue;
            inside += x >= lo[0] && x <= hi[0] && y >= lo[1] && y <= hi[1] && z >= lo[2] && z <= hi[2];
        }
        return inside;
    };
    // Rings every 4 units from x = 0 to 320, the truss 6 units across, the deck's top at z = -2.95.
    int between = 0, onPosts = 0;
    for (int ring = 0; ring < 80; ++ring) {
        const float x = 4.0f * ring;
        between += shadowGroupsAround(x + 2, -3, 0) + shadowGroupsAround(x + 2, 0, 3) +
                   shadowGroupsAround(x + 2, 0, -2.9f);
        onPosts += shadowGroupsAround(x, -3, 0) > 0;
    }
    EXPECT_EQ(between, 0) << "group boxes spanning the space between rings";
    EXPECT_EQ(onPosts, 80) << "the truss's rings are not where the test looks";
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
            if (std::string(model.file) == "ull1.3ds" && frame == 0)
                expectTrussOpenBetweenRings(texels, report);
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
