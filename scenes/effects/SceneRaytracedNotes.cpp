#include "scenes/effects/SceneRaytracedNotes.h"

#include "scene/GlObjects.h"
#include "scene/RunContext.h"

#include <algorithm>
#include <cstdio>

SceneRaytracedNotes::SceneRaytracedNotes(RunContext& run) : Scene(run) {
    SceneRaytracedNotes::init();
    printf("Scene Notes init\n");
}

SceneRaytracedNotes::~SceneRaytracedNotes() {
    destroyQuad();
}

// A repeat (the Enter key) replaces the quad and the texture through their owners;
// programs stay, as ShaderProgram never deletes them.
void SceneRaytracedNotes::init() {
    createQuad();
    shader.load(run, "shaders\\RaytracedNotesVert.glsl", "shaders\\RaytracedNotesFrag.glsl");
    loadTexture("textures\\credits.bmp", &creditsTexture);
}

void SceneRaytracedNotes::activate() {
    shader.bind();
}

void SceneRaytracedNotes::render(float time, float sceneTime) {
    (void)time;
    // The whole frame is the trace of the credits slab; the benchmark times it as the
    // ray pass, beside the polygon scenes' own.
    markPass("ray");
    if (tracedSide > 0 && tracedSide < run.screenHeight && run.screenHeight > 0)
        drawReduced(std::max(1, run.screenWidth * tracedSide / run.screenHeight), tracedSide, sceneTime);
    else
        drawPass(run.screenWidth, run.screenHeight, sceneTime);
}

void SceneRaytracedNotes::drawPass(int width, int height, float sceneTime) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, creditsTexture.get());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    shader.setUniform1i("tex0", 0);
    shader.setUniform1f("time", sceneTime);
    shader.setUniform1i("ScreenWidth", width);
    shader.setUniform1i("ScreenHeight", height);
    drawQuad();
}

void SceneRaytracedNotes::drawReduced(int width, int height, float sceneTime) {
    if (width != reducedWidth || height != reducedHeight) {
        reducedFramebuffer = GlFramebuffer::generate();
        reducedPicture = GlTexture::generate();
        glBindTexture(GL_TEXTURE_2D, reducedPicture.get());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glBindFramebufferEXT(GL_FRAMEBUFFER, reducedFramebuffer.get());
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, reducedPicture.get(), 0);
        reducedWidth = width;
        reducedHeight = height;
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER, reducedFramebuffer.get());
    glViewport(0, 0, width, height);
    drawPass(width, height, sceneTime);
    markPass("final");
    glBindFramebufferEXT(GL_READ_FRAMEBUFFER, reducedFramebuffer.get());
    glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, width, height, 0, 0, run.screenWidth, run.screenHeight, GL_COLOR_BUFFER_BIT,
                      GL_LINEAR);
    glBindFramebufferEXT(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, run.screenWidth, run.screenHeight);
}
