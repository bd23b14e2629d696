#pragma once
#include <GL/glew.h>

// The quad as GL state: one vertex array with positions, colours and texture
// coordinates in attribute arrays 0, 1 and 2. Both the shell's shared buffer and
// every scene's own quad are made and torn down by these two routines.
// Creation leaves the vertex array bound and GL_ARRAY_BUFFER on the texture
// coordinates; a GL error in either routine ends the process.
void createQuadBuffers(GLuint* vertexArray, GLuint* positionBuffer, GLuint* colorBuffer,
                       GLuint* texCoordBuffer);
void destroyQuadBuffers(GLuint* vertexArray, GLuint* positionBuffer, GLuint* colorBuffer,
                        GLuint* texCoordBuffer);
