#include "scenes/effects/SceneRaytracer.h"

#include "scenes/effects/EffectPasses.h"

#include <cstdio>

namespace {

constexpr float kBeatsPerBitmap = 1.0f;

} // namespace

SceneRaytracer::SceneRaytracer() {
    SceneRaytracer::init();
    printf("Scene1 init\n");
}

SceneRaytracer::~SceneRaytracer() {
    destroyQuad();
}

void SceneRaytracer::init() {
    static const ShaderFiles files = {"shaders\\RaytracerVert.glsl", "shaders\\RaytracerFrag.glsl"};
    buildEffect(*this, &shader, &files, 1, textures, "textures\\tiles.bmp", "textures\\tiles2.bmp");
}

void SceneRaytracer::activate() {
    shader.bind();
}

void SceneRaytracer::render(float time, float sceneTime) {
    (void)sceneTime;
    renderBeatSwitched(*this, shader, textures, time, kBeatsPerBitmap, false, tempo);
}
