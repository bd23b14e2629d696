#include "scenes/effects/SceneRaytracedNotes.h"

#include "scene/GlObjects.h"
#include "scene/ScreenSize.h"

#include <cstdio>

SceneRaytracedNotes::SceneRaytracedNotes() {
    SceneRaytracedNotes::init();
    printf("Scene Notes init\n");
}

SceneRaytracedNotes::~SceneRaytracedNotes() {
    destroyQuad();
}

void SceneRaytracedNotes::init() {
    if (initialised) {
        // The Enter key: what this run replaces goes (programs stay, as
        // ShaderProgram never deletes them).
        destroyQuad();
        finishDrawsBeforeDeleting();
        glDeleteTextures(1, &creditsTexture);
        creditsTexture = 0;
    }
    createQuad();
    shader.load("shaders\\RaytracedNotesVert.glsl", "shaders\\RaytracedNotesFrag.glsl");
    loadTexture("textures\\credits.bmp", &creditsTexture);
    initialised = true;
}

void SceneRaytracedNotes::activate() {
    shader.bind();
}

void SceneRaytracedNotes::render(float time, float sceneTime) {
    (void)time;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, creditsTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    shader.setUniform1i("tex0", 0);
    shader.setUniform1f("time", sceneTime);
    shader.setUniform1i("ScreenWidth", screenWidth);
    shader.setUniform1i("ScreenHeight", screenHeight);
    drawQuad();
}
