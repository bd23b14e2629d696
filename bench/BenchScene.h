#pragma once
#include "scene/HeadlessContext.h"
#include "support/PrimitiveSceneBuilder.h"
#include "support/RayPassHarness.h"

#include <cmath>
#include <cstdio>
#include <string>

// The benchmarks' scene: a tessellated floor and a ring of tessellated balls
// (about 4300 triangles), a sphere and a box, a mirror material, two lights.
// Seen from kBenchCamera.
inline void buildBenchScene(PrimitiveSceneBuilder& scene) {
    using Vec3 = PrimitiveSceneBuilder::Vec3;
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
        auto point = [&](int ring, int segment) {
            float theta = float(M_PI) * ring / rings, phi = 2 * float(M_PI) * segment / segments;
            return Vec3{cx + std::sin(theta) * std::cos(phi), cy + std::sin(theta) * std::sin(phi),
                        std::cos(theta)};
        };
        scene.beginMesh();
        for (int r = 0; r < rings; ++r)
            for (int s = 0; s < segments; ++s) {
                scene.triangle(point(r, s), point(r + 1, s), point(r + 1, s + 1), colours[b % 3]);
                scene.triangle(point(r, s), point(r + 1, s + 1), point(r, s + 1), colours[b % 3]);
            }
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
