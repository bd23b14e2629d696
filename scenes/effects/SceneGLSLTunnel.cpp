#include "scenes/effects/SceneGLSLTunnel.h"

#include <cstdio>

namespace {

const ShaderFiles kRoundTunnel = {"shaders\\TunnelVert.glsl", "shaders\\TunnelFrag.glsl"};
const ShaderFiles kSquareTunnel = {"shaders\\SquareTunnelVert.glsl", "shaders\\SquareTunnelFrag.glsl"};
const ShaderFiles kReliefTunnel = {"shaders\\ReliefTunnelVert.glsl", "shaders\\ReliefTunnelFrag.glsl"};

const ShaderFiles& tunnelFiles(int tunnelType) {
    return tunnelType == 0 ? kRoundTunnel : tunnelType == 1 ? kSquareTunnel : kReliefTunnel;
}

} // namespace

SceneGLSLTunnel::SceneGLSLTunnel(int tunnelType)
    : TwoBitmapEffect(tunnelFiles(tunnelType), "textures\\dirt-texture.bmp", "textures\\lava-texture-4.bmp") {
    TwoBitmapEffect::init();
    printf("Scene1 init\n");
}

void SceneGLSLTunnel::render(float time, float sceneTime) {
    (void)sceneTime;
    renderTwoUnits(*this, shader, textures, time);
}
