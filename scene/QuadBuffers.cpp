#include "scene/QuadBuffers.h"
#include "core/ErrorReport.h"

#include "scene/GlErrors.h"

namespace {

// Triangle-strip order: top-left, top-right, bottom-left, bottom-right.
const GLfloat Vertices[16] = {-1, 1, 0, 1, 1, 1, 0, 1, -1, -1, 0, 1, 1, -1, 0, 1};
const GLfloat Colors[16] = {1, 0, 0, 1, 0, 1, 0, 1, 1, 0, 0, 1, 0, 0, 1, 1};
const GLfloat TexCoords[8] = {0, 1, 1, 1, 0, 0, 1, 0};

GlBuffer fillAttribute(GLuint index, const GLfloat* data, GLsizeiptr bytes, GLint components) {
    GlBuffer buffer = GlBuffer::generate();
    glBindBuffer(GL_ARRAY_BUFFER, buffer.get());
    glBufferData(GL_ARRAY_BUFFER, bytes, data, GL_STATIC_DRAW);
    glVertexAttribPointer(index, components, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(index);
    return buffer;
}

} // namespace

QuadBuffers createQuadBuffers() {
    discardGlError();
    QuadBuffers quad;
    quad.vertexArray = GlVertexArray::generate();
    glBindVertexArray(quad.vertexArray.get());
    quad.positionBuffer = fillAttribute(0, Vertices, sizeof(Vertices), 4);
    quad.colorBuffer = fillAttribute(1, Colors, sizeof(Colors), 4);
    quad.texCoordBuffer = fillAttribute(2, TexCoords, sizeof(TexCoords), 2);
    exitOnGlError("Could not create a VBO: %s \n");
    return quad;
}

void destroyQuadBuffers(QuadBuffers& quad) {
    discardGlError();
    glDisableVertexAttribArray(2);
    glDisableVertexAttribArray(1);
    glDisableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    quad.texCoordBuffer.reset();
    quad.colorBuffer.reset();
    quad.positionBuffer.reset();
    glBindVertexArray(0);
    quad.vertexArray.reset();
    exitOnGlError("Could not destroy the VBO: %s \n");
}
