#include "scenes/effects/SceneRaytracedInfo.h"

#include <cstdio>

namespace {
constexpr float kBeatsPerBitmap = 4.0f;
} // namespace

SceneRaytracedInfo::SceneRaytracedInfo(RunContext& run)
    : TwoBitmapEffect(run, ShaderFiles{"shaders\\RaytracedInfoVert.glsl", "shaders\\RaytracedInfoFrag.glsl"},
                      "textures\\code2.bmp", "textures\\testvox.bmp") {
    TwoBitmapEffect::init();
    printf("Scene1 init\n");
}

void SceneRaytracedInfo::render(float time, float sceneTime) {
    (void)sceneTime;
    renderBeatSwitched(*this, shader, textures, time, kBeatsPerBitmap, true, tempo);
}
