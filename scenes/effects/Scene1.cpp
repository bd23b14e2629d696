#include "scenes/effects/Scene1.h"

#include <cstdio>

Scene1::Scene1(RunContext& run)
    : TwoBitmapEffect(run, ShaderFiles{"shaders\\vert1.glsl", "shaders\\frag1.glsl"},
                      "textures\\dirt-texture.bmp", "textures\\lava-texture-4.bmp") {
    TwoBitmapEffect::init();
    printf("Scene1 init\n");
}

void Scene1::render(float time, float sceneTime) {
    (void)sceneTime;
    renderTwoUnits(*this, shader, textures, time);
}
