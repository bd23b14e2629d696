#include "scenes/raytracer/RenderTargets.h"

RenderTargets RenderTargets::create(int size) {
    RenderTargets made;
    for (int i = 0; i < kRenderTargets; ++i) {
        made.framebuffers[i] = GlFramebuffer::generate();
        made.colorTextures[i] = GlTexture::generate();
        glBindFramebufferEXT(GL_FRAMEBUFFER, made.framebuffers[i].get());
        glBindTexture(GL_TEXTURE_2D, made.colorTextures[i].get());
        // No mipmaps: without a linear minifying filter the texture is incomplete.
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, i == 0 ? GL_RGBA16F : GL_RGBA8, size, size, 0, GL_RGBA, GL_INT,
                     nullptr);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                               made.colorTextures[i].get(), 0);
        glBindFramebufferEXT(GL_FRAMEBUFFER, 0);
    }
    return made;
}
