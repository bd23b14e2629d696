#include "shell/SharedVbo.h"

#include "scene/QuadBuffers.h"

GLuint globalVertexArray = 0;
GLuint globalPositionBuffer = 0;
GLuint globalColorBuffer = 0;
GLuint globalTexCoordBuffer = 0;

void createVBO() {
    createQuadBuffers(&globalVertexArray, &globalPositionBuffer, &globalColorBuffer, &globalTexCoordBuffer);
}

void destroyVBO() {
    destroyQuadBuffers(&globalVertexArray, &globalPositionBuffer, &globalColorBuffer, &globalTexCoordBuffer);
}
