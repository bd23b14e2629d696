#pragma once
#include <GL/glew.h>

// The polygon scene's three square off-screen targets, each a framebuffer with one
// colour texture: 0 takes the ray pass (half float, so alpha can carry the hit
// distance), 1 and 2 the horizontal and vertical blur (8 bits per channel).
constexpr int kRenderTargets = 3;

void createRenderTargets(int size, GLuint framebuffers[kRenderTargets], GLuint colorTextures[kRenderTargets]);
// Deletes them and zeroes the names; names of 0 are skipped by GL.
void deleteRenderTargets(GLuint framebuffers[kRenderTargets], GLuint colorTextures[kRenderTargets]);
