// A file saved without a keyframe section: its lights and camera are traced as
// their records place them.
#include "core/PrimitiveLayout.h"
#include "support/FlattenedScene.h"
#include "support/Studio3dsFixtures.h"

#include <lib3ds/file.h>
#include <lib3ds/light.h>

#include <gtest/gtest.h>

using namespace primitive;
using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

namespace {

// Adds a spotlight record alone, with no node.
void bareSpotLight(Studio3dsFixture& f, const char* name) {
    Lib3dsLight* l = lib3ds_light_new(name);
    l->spot_light = LIB3DS_TRUE;
    l->position[2] = 9;
    l->color[0] = l->color[1] = l->color[2] = 1;
    l->multiplier = 1;
    lib3ds_file_insert_light(f.raw(), l);
}

// A mesh, an omni light, a spotlight and a camera as a minimal exporter saves
// them: no keyframe section at all. The omni light and the camera are traced as
// their records place them, at every frame, and nothing is said about them.
TEST(NodelessFile, LightAndCameraGetNodesHoldingTheirRecords) {
    Studio3dsFixture f;
    f.setFrames(30);
    f.box("box", {-1, -1, 0}, {1, 1, 2}, "");
    f.omniLight("lamp", {4, -3, 6}, {0.5f, 0.25f, 1}, 1.0f, false, false);
    bareSpotLight(f, "spot");
    f.camera("cam", {1, -8, 3}, {0, 0, 1}, 50, 5, false);
    ASSERT_EQ(f.raw()->nodes, nullptr);
    FlattenedScene s;
    ASSERT_TRUE(s.open(f, "nodeless"));
    std::vector<int> kinds;
    for (const Studio3dsNode& n : s.file->nodes())
        kinds.push_back(n.kind);
    EXPECT_EQ(kinds, std::vector<int>({Studio3dsNode::kMeshInstance, Studio3dsNode::kOmnilight,
                                       Studio3dsNode::kCamera, Studio3dsNode::kCameraTarget}));
    for (float frame : {0.0f, 17.0f}) {
        CaptureStdout();
        CaptureStderr();
        s.flatten(frame);
        EXPECT_EQ(GetCapturedStderr(), "") << frame;
        EXPECT_EQ(GetCapturedStdout(), "") << frame;
        EXPECT_EQ(s.report.lights, 1) << frame;
        EXPECT_EQ(s.report.lightsOn, 1) << frame;
        EXPECT_FLOAT_EQ(s.texel(kHeaderTexel)[2], 1) << frame;
        const float* position = s.texel(kLightBase);
        const float* colour = s.texel(kLightBase + 1);
        EXPECT_EQ(std::vector<float>(position, position + 3), std::vector<float>({4, -3, 6})) << frame;
        EXPECT_EQ(std::vector<float>(colour, colour + 3), std::vector<float>({0.5f, 0.25f, 1})) << frame;
        const FlattenCamera& c = s.report.camera;
        EXPECT_EQ(std::vector<float>(c.position, c.position + 3), std::vector<float>({1, -8, 3})) << frame;
        EXPECT_EQ(std::vector<float>(c.target, c.target + 3), std::vector<float>({0, 0, 1})) << frame;
        EXPECT_FLOAT_EQ(c.fov, 50) << frame;
        EXPECT_FLOAT_EQ(c.roll, 5) << frame;
        EXPECT_EQ(s.report.meshes, 1) << frame;
    }
}

} // namespace
