// The generator's file writer: what its motion, camera and light functions say at a
// frame is what the show reads back from the saved file at that frame.
#include "tools/models/ModelFile.h"
#include "core/PrimitiveLayout.h"
#include "core/PrimitiveWriter.h"
#include "core/Studio3dsFile.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using models::Vec3;
using models::operator+;
using models::operator-;
using models::operator*;

constexpr int kFrames = 20;
const Vec3 kPivot = {1, 1, 0};

Vec3 offsetAt(int f) {
    return {0.5f * f, 0, 1};
}
float scaleAt(int f) {
    return 1 + 0.1f * f;
}
float spinAt(int f) {
    return 0.2f * f;
}

// Where the motion puts point p at frame f: pivot + offset + turn(scale * (p - pivot)).
Vec3 expected(Vec3 p, int f) {
    Vec3 d = (p - kPivot) * scaleAt(f);
    float c = std::cos(spinAt(f)), s = std::sin(spinAt(f));
    return kPivot + offsetAt(f) + Vec3{c * d[0] - s * d[1], s * d[0] + c * d[1], d[2]};
}

void expectNear(const float* actual, Vec3 want, const char* what, int frame) {
    for (int a = 0; a < 3; ++a)
        EXPECT_NEAR(actual[a], want[a], 1e-3) << what << " axis " << a << " frame " << frame;
}

TEST(ModelFile, MotionCameraAndLightReadBackAsTheirFunctionsSay) {
    models::ModelFile file("check", kFrames);
    file.material("paint", {});
    models::Mesh triangle;
    triangle.points = {{2, 1, 0}, {1, 1, 0}, {1, 3, 1}};
    triangle.faces.push_back(models::Face{{0, 1, 2}, "paint", 0});
    models::Motion motion;
    motion.pivot = kPivot;
    motion.offset = offsetAt;
    motion.scale = [](int f) { return Vec3{scaleAt(f), scaleAt(f), scaleAt(f)}; };
    motion.spin = spinAt;
    file.mesh("tri", triangle, motion);
    file.camera(
        "cam",
        [](int f) {
            return Vec3{0, -10.0f - f, 2};
        },
        [](int f) {
            return Vec3{float(f), 0, 1};
        },
        [](int f) { return 40.0f + f; }, [](int f) { return 2.0f * f; });
    file.omniLight(
        "lamp",
        [](int f) {
            return Vec3{float(f), 2, 8};
        },
        [](int f) {
            return Vec3{0.5f, 0.25f + 0.01f * f, 1};
        },
        1.5f);
    const std::string path = makeScratchDir("model_file") + "/check.3ds";
    ASSERT_TRUE(file.save(path));

    std::unique_ptr<Studio3dsFile> opened = Studio3dsFile::open(path.c_str());
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->frames(), kFrames);
    std::vector<float> texels(size_t(primitive::kTexels) * 4);
    PrimitiveWriter writer;
    writer.reset(path);
    auto texel = [&](int i) { return &texels[size_t(i) * 4]; };
    for (int f : {0, 7, kFrames - 1}) {
        opened->eval(float(f));
        FlattenReport report = writer.write(*opened, 1.0f, texels.data());
        ASSERT_EQ(report.triangles, 1);
        // The record holds P1, then the edges towards P0 and P2.
        Vec3 p0 = expected(triangle.points[0], f), p1 = expected(triangle.points[1], f),
             p2 = expected(triangle.points[2], f);
        expectNear(texel(primitive::kTriangleBase), p1, "P1", f);
        expectNear(texel(primitive::kTriangleBase + 1), p0 - p1, "P0 - P1", f);
        expectNear(texel(primitive::kTriangleBase + 2), p2 - p1, "P2 - P1", f);

        expectNear(report.camera.position, {0, -10.0f - f, 2}, "camera", f);
        expectNear(report.camera.target, {float(f), 0, 1}, "target", f);
        EXPECT_NEAR(report.camera.fov, 40.0f + f, 1e-3);
        EXPECT_NEAR(report.camera.roll, 2.0f * f, 1e-3);

        ASSERT_EQ(report.lights, 1);
        expectNear(texel(primitive::kLightBase), {float(f), 2, 8}, "light", f);
        expectNear(texel(primitive::kLightBase + 1), {0.5f, 0.25f + 0.01f * f, 1}, "light colour", f);
        EXPECT_EQ(texel(primitive::kLightBase + 1)[3], 1.5f);
    }
}

} // namespace
