#include "scenes/effects/SceneRaytracedCubes.h"

#include "core/ErrorReport.h"
#include "scenes/effects/CubeBufferContent.h"
#include "scenes/effects/EffectPasses.h"

#include <cstdio>

SceneRaytracedCubes::SceneRaytracedCubes(RunContext& run) : Scene(run) {
    SceneRaytracedCubes::init();
    printf("Scene1 init\n");
}

SceneRaytracedCubes::~SceneRaytracedCubes() {
    destroyQuad();
    releaseCubeBuffer();
}

void SceneRaytracedCubes::init() {
    createQuad();
    shader.load(run, "shaders\\RaytracedCubesVert.glsl", "shaders\\RaytracedCubesFrag.glsl");
    if (!cubeBufferCreated)
        createCubeBuffer();
}

void SceneRaytracedCubes::createCubeBuffer() {
    cubeBuffer = GlBuffer::generate();
    glBindBuffer(GL_TEXTURE_BUFFER, cubeBuffer.get());
    glBufferData(GL_TEXTURE_BUFFER, kCubeBufferBytes, nullptr, GL_DYNAMIC_DRAW);
    cubeBufferTexture = GlTexture::generate();
    glBindTexture(GL_TEXTURE_BUFFER, cubeBufferTexture.get());
    glTexBufferEXT(GL_TEXTURE_BUFFER, GL_RGBA32F, cubeBuffer.get());
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
    cubeBufferCreated = true;
}

void SceneRaytracedCubes::updateCubeBuffer(float size) {
    glBindBuffer(GL_TEXTURE_BUFFER, cubeBuffer.get());
    float* texels = static_cast<float*>(glMapBuffer(GL_TEXTURE_BUFFER, GL_WRITE_ONLY));
    if (texels) {
        fillCubeBuffer(texels, size);
        glUnmapBuffer(GL_TEXTURE_BUFFER);
    } else if (!mapFailureReported) {
        // The frame then shows the cube of the last frame that could be written.
        reportError("Could not map the cube buffer\n");
        mapFailureReported = true;
    }
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
}

void SceneRaytracedCubes::releaseCubeBuffer() {
    cubeBuffer.reset();
}

void SceneRaytracedCubes::activate() {
    shader.bind();
}

void SceneRaytracedCubes::render(float time, float sceneTime) {
    (void)sceneTime;
    updateCubeBuffer(cubeSizeAt(time));
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_BUFFER, cubeBufferTexture.get());
    shader.setUniform1i("tex0", 0);
    setTimeUniform(shader, time);
    setScreenUniforms(shader, run);
    drawQuad();
}
