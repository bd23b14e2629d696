#include "scenes/effects/SceneGLSLTunnel.h"

#include "scenes/effects/EffectPasses.h"

#include <cstdio>

namespace {

const ShaderFiles kRoundTunnel = {"shaders\\TunnelVert.glsl", "shaders\\TunnelFrag.glsl"};
const ShaderFiles kSquareTunnel = {"shaders\\SquareTunnelVert.glsl", "shaders\\SquareTunnelFrag.glsl"};
const ShaderFiles kReliefTunnel = {"shaders\\ReliefTunnelVert.glsl", "shaders\\ReliefTunnelFrag.glsl"};

} // namespace

SceneGLSLTunnel::SceneGLSLTunnel(int tunnelType) : tunnelType(tunnelType) {
    SceneGLSLTunnel::init();
    printf("Scene1 init\n");
}

SceneGLSLTunnel::~SceneGLSLTunnel() {
    destroyQuad();
}

void SceneGLSLTunnel::init() {
    const ShaderFiles* files = tunnelType == 0   ? &kRoundTunnel
                               : tunnelType == 1 ? &kSquareTunnel
                                                 : &kReliefTunnel;
    buildEffect(*this, &shader, files, 1, textures, "textures\\dirt-texture.bmp",
                "textures\\lava-texture-4.bmp");
}

void SceneGLSLTunnel::activate() {
    shader.bind();
}

void SceneGLSLTunnel::render(float time, float sceneTime) {
    (void)sceneTime;
    renderTwoUnits(*this, shader, textures, time);
}
