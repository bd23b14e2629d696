#include "shell/SharedVbo.h"

#include "scene/QuadBuffers.h"

GLuint globalVertexArray = 0;
GLuint globalPositionBuffer = 0;
GLuint globalColorBuffer = 0;
GLuint globalTexCoordBuffer = 0;

// The names are process-wide and live until the window closes, so they are kept
// bare here rather than in owners (which must not outlive the context).
void createVBO() {
    QuadBuffers quad = createQuadBuffers();
    globalVertexArray = quad.vertexArray.release();
    globalPositionBuffer = quad.positionBuffer.release();
    globalColorBuffer = quad.colorBuffer.release();
    globalTexCoordBuffer = quad.texCoordBuffer.release();
}

void destroyVBO() {
    QuadBuffers quad{GlVertexArray(globalVertexArray), GlBuffer(globalPositionBuffer),
                     GlBuffer(globalColorBuffer), GlBuffer(globalTexCoordBuffer)};
    destroyQuadBuffers(quad);
    globalVertexArray = globalPositionBuffer = globalColorBuffer = globalTexCoordBuffer = 0;
}
