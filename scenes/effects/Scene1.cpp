#include "scenes/effects/Scene1.h"

#include "scenes/effects/EffectPasses.h"

#include <cstdio>

Scene1::Scene1() {
    Scene1::init();
    printf("Scene1 init\n");
}

Scene1::~Scene1() {
    destroyQuad();
}

void Scene1::init() {
    static const ShaderFiles files = {"shaders\\vert1.glsl", "shaders\\frag1.glsl"};
    buildEffect(*this, &shader, &files, 1, textures, "textures\\dirt-texture.bmp",
                "textures\\lava-texture-4.bmp");
}

void Scene1::activate() {
    shader.bind();
}

void Scene1::render(float time, float sceneTime) {
    (void)sceneTime;
    renderTwoUnits(*this, shader, textures, time);
}
