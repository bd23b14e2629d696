#include "scenes/effects/SceneRaytracer.h"

#include <cstdio>

namespace {
constexpr float kBeatsPerBitmap = 1.0f;
} // namespace

SceneRaytracer::SceneRaytracer(RunContext& run)
    : TwoBitmapEffect(run, ShaderFiles{"shaders\\RaytracerVert.glsl", "shaders\\RaytracerFrag.glsl"},
                      "textures\\tiles.bmp", "textures\\tiles2.bmp") {
    TwoBitmapEffect::init();
    printf("Scene1 init\n");
}

void SceneRaytracer::render(float time, float sceneTime) {
    (void)sceneTime;
    renderBeatSwitched(*this, shader, textures, time, kBeatsPerBitmap, false, tempo);
}
