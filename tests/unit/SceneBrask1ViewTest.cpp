// The model scene's plain arithmetic: which animation frame a music time shows, and
// the view of a model that has no camera.
#include "scenes/effects/Brask1Camera.h"
#include "scenes/effects/SceneBrask1.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ModelSceneFrame, SixteenFramesABeatFromTheOffsetModuloTheFrameCount) {
    const float beat = 60.0f / 130.0f;
    EXPECT_EQ(SceneBrask1::animationFrame(0.0f, 100), 5); // 0.35 * 16 = 5.6
    EXPECT_EQ(SceneBrask1::animationFrame(0.0f, 3), 2);
    EXPECT_EQ(SceneBrask1::animationFrame(beat, 100), 21);
    EXPECT_EQ(SceneBrask1::animationFrame(beat + beat / 16, 100), 22);
    EXPECT_EQ(SceneBrask1::animationFrame(10 * beat, 100), 65); // 165 mod 100
    // A file without frames shows its one frame; nothing leaves the range.
    EXPECT_EQ(SceneBrask1::animationFrame(7.0f, 0), 0);
    EXPECT_EQ(SceneBrask1::animationFrame(7.0f, -4), 0);
    for (float time : {-3.0f, 1e9f, 1e30f, INFINITY, NAN}) {
        int frame = SceneBrask1::animationFrame(time, 512);
        EXPECT_TRUE(frame >= 0 && frame < 512) << time << " gives " << frame;
    }
}

// Every corner of the box is in front of the near plane and inside the projection
// the scene sets up (vertical angle half the field of view, the window's aspect).
TEST(ModelSceneFrame, WithoutACameraTheWholeBoxIsInView) {
    struct Case {
        float min[3], max[3];
        double aspect;
    };
    const Case cases[] = {{{-1, -1, -1}, {1, 1, 1}, 4.0 / 3},
                          {{100, -5, 0}, {140, 5, 2}, 16.0 / 9},
                          {{-0.01f, 0, 0}, {0.01f, 0, 0}, 1.0},
                          {{0, 0, -30}, {2, 2, 30}, 0.5}};
    for (const Case& c : cases) {
        PointBox box;
        box.add(c.min);
        box.add(c.max);
        Brask1Camera view = boundingBoxView(box, c.aspect);
        EXPECT_EQ(view.source, Brask1Camera::kBoundingBox);
        EXPECT_EQ(view.fov, 45.0f);
        double forward[3], right[3], up[3], length = 0;
        for (int i = 0; i < 3; ++i) {
            forward[i] = view.target[i] - view.position[i];
            length += forward[i] * forward[i];
        }
        for (double& v : forward)
            v /= std::sqrt(length);
        double side = std::hypot(forward[0], forward[1]);
        right[0] = forward[1] / side, right[1] = -forward[0] / side, right[2] = 0;
        up[0] = right[1] * forward[2] - right[2] * forward[1];
        up[1] = right[2] * forward[0] - right[0] * forward[2];
        up[2] = right[0] * forward[1] - right[1] * forward[0];
        double tanVertical = std::tan(view.fov / 4 * M_PI / 180), tanHorizontal = tanVertical * c.aspect;
        for (int corner = 0; corner < 8; ++corner) {
            double d[3];
            for (int i = 0; i < 3; ++i)
                d[i] = ((corner >> i & 1) ? c.max[i] : c.min[i]) - view.position[i];
            double depth = d[0] * forward[0] + d[1] * forward[1] + d[2] * forward[2];
            double x = d[0] * right[0] + d[1] * right[1] + d[2] * right[2];
            double y = d[0] * up[0] + d[1] * up[1] + d[2] * up[2];
            EXPECT_GT(depth, 1.0);
            EXPECT_LE(std::fabs(x) / depth, tanHorizontal) << "corner " << corner;
            EXPECT_LE(std::fabs(y) / depth, tanVertical) << "corner " << corner;
        }
    }
}

} // namespace
