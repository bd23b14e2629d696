#pragma once
#include <GL/glew.h>

// The shell's own quad buffers, made after all scenes exist (so they are the
// vertex array bound when the show begins) and torn down when the window closes.
extern GLuint globalVertexArray;
extern GLuint globalPositionBuffer;
extern GLuint globalColorBuffer;
extern GLuint globalTexCoordBuffer;

void createVBO();
void destroyVBO();
