#include "scenes/effects/SceneM1.h"

#include "scenes/effects/EffectPasses.h"

#include <cstdio>

SceneM1::SceneM1(RunContext& run) : Scene(run) {
    SceneM1::init();
    printf("Scene1 init\n");
}

SceneM1::~SceneM1() {
    destroyQuad();
}

void SceneM1::init() {
    // The programs keep the literals' addresses, not this table's.
    const ShaderFiles files[3] = {{"shaders\\vertM1.glsl", "shaders\\fragM1.glsl"},
                                  {"shaders\\vert3.glsl", "shaders\\frag3.glsl"},
                                  {"shaders\\vertM3.glsl", "shaders\\fragM3.glsl"}};
    buildEffect(*this, shaders, files, 3, textures, "textures\\dirt-texture.bmp", "textures\\grain1.bmp");
}

void SceneM1::activate() {
    shaders[0].bind();
}

void SceneM1::render(float time, float sceneTime) {
    (void)sceneTime;
    bindTwoUnits(shaders[0], textures);
    setTimeUniform(shaders[0], time);
    printf("time: %f\n", time);
    setScreenUniforms(shaders[0], run);
    drawQuad();
}
