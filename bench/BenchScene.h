#pragma once
#include "core/PrimitiveWriter.h"
#include "core/Studio3dsFile.h"
#include "scene/HeadlessContext.h"
#include "support/PrimitiveSceneBuilder.h"
#include "support/RayPassHarness.h"
#include "tools/models/Lattice.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// The benchmarks' scene: a tessellated floor and a ring of tessellated balls
// (about 4300 triangles), a sphere and a box, a mirror material, two lights.
// Seen from kBenchCamera.
inline void buildBenchScene(PrimitiveSceneBuilder& scene) {
    int floor = scene.material({0.7f, 0.7f, 0.7f}, {0, 0, 0}, 0, 0, 0.3f);
    int colours[3] = {scene.material({0.9f, 0.2f, 0.2f}, {1, 1, 1}, 0.5f, 0.8f),
                      scene.material({0.2f, 0.8f, 0.3f}, {1, 1, 1}, 0.2f, 0.5f),
                      scene.material({0.2f, 0.3f, 0.9f}, {0, 0, 0}, 0, 0, 0.6f)};
    scene.beginMesh();
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 20; ++j)
            scene.quad({-10.0f + i, -10.0f + j, -1}, {1, 0, 0}, {0, 1, 0}, floor);
    scene.endMesh();
    const int balls = 8, rings = 12, segments = 16;
    for (int b = 0; b < balls; ++b) {
        float angle = 2 * float(M_PI) * b / balls, cx = 5 * std::cos(angle), cy = 5 * std::sin(angle);
        // A column per ring from the north pole down, a row per segment.
        models::Mesh ball =
            models::lattice(rings, segments, {1, 1}, "", 0, [&](const models::LatticePoint& p) {
                float theta = float(M_PI) * p.column / rings, phi = 2 * float(M_PI) * p.row / segments;
                return models::Vec3{cx + std::sin(theta) * std::cos(phi),
                                    cy + std::sin(theta) * std::sin(phi), std::cos(theta)};
            });
        // Ring by ring, as the figures were first measured with: the groups of 26
        // triangles the tracer boxes follow this order.
        scene.beginMesh();
        for (int r = 0; r < rings; ++r)
            for (int s = 0; s < segments; ++s)
                for (int half = 0; half < 2; ++half)
                    scene.face(ball, size_t(2 * (s * rings + r) + half), colours[b % 3]);
        scene.endMesh();
    }
    scene.sphere({0, 0, 0}, 1.5f, colours[0]);
    scene.box({-1, -1, 2}, {1, 1, 2.5f}, colours[1]);
    scene.light({-6, -8, 8}, {1, 1, 1});
    scene.light({6, -4, 5}, {0.6f, 0.6f, 0.8f}, 0.7f);
}

const RayPassHarness::Camera kBenchCamera = {{0, -14, 7}, {0, 0, 0}, 0, 50};

// Makes the headless context and says which renderer the figures come from.
inline bool startBench(HeadlessContext& context, int size) {
    if (!context.create(size, size))
        return false;
    printf("GL renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    return true;
}

// The ray-tracing pair from the data directory (the build's "data" by default).
inline bool loadRayShader(RayPassHarness& pass, const std::string& data, const std::string& defines = "") {
    return pass.load(data + "/shaders/RaytracerPolygonsVert.glsl",
                     data + "/shaders/RaytracerPolygonsFrag.glsl", defines);
}

// The show's five polygon scenes: file, reflections and animation frames per beat
// as the line-up sets them.
struct ShowModel {
    const char* file;
    int numReflections;
    int framesPerBeat;
};
const ShowModel kShowModels[] = {{"intro.3ds", 4, 16},
                                 {"spheres.3ds", 4, 16},
                                 {"ull1.3ds", 4, 16},
                                 {"test9.3ds", 3, 8},
                                 {"info.3ds", 4, 16}};

// Where each scene is well under way: 24 beats in.
constexpr float kSceneBeat = 24.0f;

inline int showFrame(const ShowModel& model, float beat = kSceneBeat) {
    return int(model.framesPerBeat * (beat + 0.35f));
}

// One show scene opened, evaluated at one animation frame and flattened into a
// fresh primitive buffer, with the camera the pass needs.
struct FlattenedShowFrame {
    std::string path;
    std::unique_ptr<Studio3dsFile> file;
    PrimitiveWriter writer;
    std::vector<float> texels;
    FlattenReport report;
    RayPassHarness::Camera camera{};
    double flattenSeconds = 0;
};

inline bool flattenShowFrame(const std::string& data, const ShowModel& model, FlattenedShowFrame& out,
                             float beat = kSceneBeat) {
    out.path = data + "/models/" + model.file;
    out.file = Studio3dsFile::open(out.path.c_str());
    if (!out.file) {
        fprintf(stderr, "ERROR: Could not open %s (build the scene_models target)\n", out.path.c_str());
        return false;
    }
    out.texels.assign(size_t(primitive::kTexels) * primitive::kFloatsPerTexel, 0.0f);
    out.writer.reset(out.path);
    PrimitiveWriter::resetTexels(out.texels.data());
    auto start = std::chrono::steady_clock::now();
    out.file->eval(float(showFrame(model, beat) % out.file->frames()));
    out.report = out.writer.write(*out.file, 1.0f, out.texels.data());
    out.flattenSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (int a = 0; a < 3; ++a) {
        out.camera.position[a] = out.report.camera.position[a];
        out.camera.target[a] = out.report.camera.target[a];
    }
    out.camera.roll = out.report.camera.roll;
    out.camera.fov = out.report.camera.fov;
    return true;
}

// Seconds of the best of `passes` ray passes, after a one-pixel pass that pays for
// shader compilation. The window is 4:3 as in the show.
inline double bestPassSeconds(RayPassHarness& pass, const RayPassHarness::Camera& camera, int numReflections,
                              int passes) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
    pass.draw(camera, numReflections, 800, 600);
    glFinish();
    glDisable(GL_SCISSOR_TEST);
    double best = 1e30;
    for (int i = 0; i < passes; ++i) {
        auto start = std::chrono::steady_clock::now();
        pass.draw(camera, numReflections, 800, 600);
        glFinish();
        best =
            std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

// What the counting build (COUNT_TESTS) of the ray shader wrote, per ray traced.
struct TestsPerRay {
    double boxes = 0, triangles = 0, solids = 0, raysPerPixel = 0;
};

inline TestsPerRay countTestsPerRay(RayPassHarness& counted, const RayPassHarness::Camera& camera,
                                    int numReflections, int size) {
    counted.draw(camera, numReflections, 800, 600);
    std::vector<float> counts = counted.pixels();
    double sums[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < counts.size(); ++i)
        sums[i % 4] += counts[i];
    const double rays = std::max(sums[3], 1.0);
    return {sums[0] / rays, sums[1] / rays, sums[2] / rays, sums[3] / (double(size) * size)};
}

// Pixels whose colour differs by more than `tolerance` (sum over red, green, blue).
inline int differingPixels(const std::vector<float>& a, const std::vector<float>& b,
                           float tolerance = 0.02f) {
    int differing = 0;
    for (size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4)
        if (std::fabs(a[i] - b[i]) + std::fabs(a[i + 1] - b[i + 1]) + std::fabs(a[i + 2] - b[i + 2]) >
            tolerance)
            ++differing;
    return differing;
}
