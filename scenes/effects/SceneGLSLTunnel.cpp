#include "scenes/effects/SceneGLSLTunnel.h"

#include <cstdio>

namespace {

ShaderFiles tunnelFiles(int tunnelType) {
    if (tunnelType == 0)
        return {"shaders\\TunnelVert.glsl", "shaders\\TunnelFrag.glsl"};
    if (tunnelType == 1)
        return {"shaders\\SquareTunnelVert.glsl", "shaders\\SquareTunnelFrag.glsl"};
    return {"shaders\\ReliefTunnelVert.glsl", "shaders\\ReliefTunnelFrag.glsl"};
}

} // namespace

SceneGLSLTunnel::SceneGLSLTunnel(RunContext& run, int tunnelType)
    : TwoBitmapEffect(run, tunnelFiles(tunnelType), "textures\\dirt-texture.bmp",
                      "textures\\lava-texture-4.bmp") {
    TwoBitmapEffect::init();
    printf("Scene1 init\n");
}

void SceneGLSLTunnel::render(float time, float sceneTime) {
    (void)sceneTime;
    renderTwoUnits(*this, shader, textures, time);
}
