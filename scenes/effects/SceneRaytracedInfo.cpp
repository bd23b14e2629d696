#include "scenes/effects/SceneRaytracedInfo.h"

#include "scenes/effects/EffectPasses.h"

#include <cstdio>

namespace {

constexpr float kBeatsPerBitmap = 4.0f;

} // namespace

SceneRaytracedInfo::SceneRaytracedInfo() {
    SceneRaytracedInfo::init();
    printf("Scene1 init\n");
}

SceneRaytracedInfo::~SceneRaytracedInfo() {
    destroyQuad();
}

void SceneRaytracedInfo::init() {
    static const ShaderFiles files = {"shaders\\RaytracedInfoVert.glsl", "shaders\\RaytracedInfoFrag.glsl"};
    buildEffect(*this, &shader, &files, 1, textures, "textures\\code2.bmp", "textures\\testvox.bmp");
}

void SceneRaytracedInfo::activate() {
    shader.bind();
}

void SceneRaytracedInfo::render(float time, float sceneTime) {
    (void)sceneTime;
    renderBeatSwitched(*this, shader, textures, time, kBeatsPerBitmap, true, tempo);
}
