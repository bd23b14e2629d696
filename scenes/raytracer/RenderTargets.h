#pragma once
#include "scene/GlObjects.h"

constexpr int kRenderTargets = 3;

// The polygon scene's three square off-screen targets, each a framebuffer with one
// colour texture: 0 takes the ray pass (half float, so alpha can carry the hit
// distance), 1 and 2 the horizontal and vertical blur (8 bits per channel). All
// six objects are deleted with the owner.
class RenderTargets {
  public:
    // Empty: no GL objects until create.
    RenderTargets() = default;
    // Leaves framebuffer 0 bound.
    static RenderTargets create(int size);

    GLuint framebuffer(int index) const { return framebuffers[index].get(); }
    GLuint colorTexture(int index) const { return colorTextures[index].get(); }

  private:
    GlFramebuffer framebuffers[kRenderTargets];
    GlTexture colorTextures[kRenderTargets];
};
