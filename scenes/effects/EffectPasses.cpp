#include "scenes/effects/EffectPasses.h"

#include "core/MusicTime.h"
#include "scene/RunContext.h"
#include "scene/Scene.h"
#include "scene/ShaderProgram.h"

#include <cmath>

void buildEffect(Scene& scene, ShaderProgram* programs, const ShaderFiles* files, int programCount,
                 GlTexture (&textures)[2], const char* firstBitmap, const char* secondBitmap) {
    scene.createQuad();
    for (int i = 0; i < programCount; ++i)
        programs[i].load(scene.context(), files[i].vertex, files[i].fragment);
    // A missing bitmap leaves a name without an image (black when sampled); the
    // loader reports it and the scene still draws.
    scene.loadTexture(firstBitmap, &textures[0]);
    scene.loadTexture(secondBitmap, &textures[1]);
}

void setTimeUniform(ShaderProgram& shader, float time) {
    shader.setUniform1f("time", time);
}

void setScreenUniforms(ShaderProgram& shader, const RunContext& run) {
    shader.setUniform1i("ScreenWidth", run.screenWidth);
    shader.setUniform1i("ScreenHeight", run.screenHeight);
}

void bindTwoUnits(ShaderProgram& shader, const GlTexture (&textures)[2]) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, textures[1].get());
    shader.setUniform1i("tex0", 0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, textures[0].get());
    shader.setUniform1i("tex1", 1);
}

void renderTwoUnits(Scene& scene, ShaderProgram& shader, const GlTexture (&textures)[2], float time) {
    bindTwoUnits(shader, textures);
    setTimeUniform(shader, time);
    setScreenUniforms(shader, scene.context());
    scene.drawQuad();
}

int beatSwitchIndex(float time, float beatsPerSwitch, const Tempo& tempo) {
    float beat = tempo.beatAt(time);
    // In floating point, so no beat overflows an int; a negative time (which the
    // music clock never gives) still picks a valid index.
    double period = std::trunc(double(beat / beatsPerSwitch));
    return std::fabs(std::fmod(period, 2.0)) >= 1.0 ? 1 : 0;
}

void renderBeatSwitched(Scene& scene, ShaderProgram& shader, const GlTexture (&textures)[2], float time,
                        float beatsPerSwitch, bool nearest, const Tempo& tempo) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, textures[beatSwitchIndex(time, beatsPerSwitch, tempo)].get());
    if (nearest) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    }
    shader.setUniform1i("tex0", 0);
    setTimeUniform(shader, time);
    setScreenUniforms(shader, scene.context());
    scene.drawQuad();
}
