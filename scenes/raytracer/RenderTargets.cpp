#include "scenes/raytracer/RenderTargets.h"

void createRenderTargets(int size, GLuint framebuffers[kRenderTargets],
                         GLuint colorTextures[kRenderTargets]) {
    for (int i = 0; i < kRenderTargets; ++i) {
        glGenFramebuffersEXT(1, &framebuffers[i]);
        glGenTextures(1, &colorTextures[i]);
        glBindFramebufferEXT(GL_FRAMEBUFFER, framebuffers[i]);
        glBindTexture(GL_TEXTURE_2D, colorTextures[i]);
        // No mipmaps: without a linear minifying filter the texture is incomplete.
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, i == 0 ? GL_RGBA16F : GL_RGBA8, size, size, 0, GL_RGBA, GL_INT,
                     nullptr);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTextures[i], 0);
        glBindFramebufferEXT(GL_FRAMEBUFFER, 0);
    }
}

void deleteRenderTargets(GLuint framebuffers[kRenderTargets], GLuint colorTextures[kRenderTargets]) {
    glDeleteFramebuffersEXT(kRenderTargets, framebuffers);
    glDeleteTextures(kRenderTargets, colorTextures);
    for (int i = 0; i < kRenderTargets; ++i)
        framebuffers[i] = colorTextures[i] = 0;
}
