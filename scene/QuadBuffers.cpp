#include "scene/QuadBuffers.h"
#include "scene/ErrorReport.h"

#include "scene/GlErrors.h"

namespace {

// Triangle-strip order: top-left, top-right, bottom-left, bottom-right.
const GLfloat Vertices[16] = {-1, 1, 0, 1, 1, 1, 0, 1, -1, -1, 0, 1, 1, -1, 0, 1};
const GLfloat Colors[16] = {1, 0, 0, 1, 0, 1, 0, 1, 1, 0, 0, 1, 0, 0, 1, 1};
const GLfloat TexCoords[8] = {0, 1, 1, 1, 0, 0, 1, 0};

void fillAttribute(GLuint* buffer, GLuint index, const GLfloat* data, GLsizeiptr bytes, GLint components) {
    glGenBuffers(1, buffer);
    glBindBuffer(GL_ARRAY_BUFFER, *buffer);
    glBufferData(GL_ARRAY_BUFFER, bytes, data, GL_STATIC_DRAW);
    glVertexAttribPointer(index, components, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(index);
}

} // namespace

void createQuadBuffers(GLuint* vertexArray, GLuint* positionBuffer, GLuint* colorBuffer,
                       GLuint* texCoordBuffer) {
    discardGlError();
    glGenVertexArrays(1, vertexArray);
    glBindVertexArray(*vertexArray);
    fillAttribute(positionBuffer, 0, Vertices, sizeof(Vertices), 4);
    fillAttribute(colorBuffer, 1, Colors, sizeof(Colors), 4);
    fillAttribute(texCoordBuffer, 2, TexCoords, sizeof(TexCoords), 2);
    exitOnGlError("Could not create a VBO: %s \n");
}

void destroyQuadBuffers(GLuint* vertexArray, GLuint* positionBuffer, GLuint* colorBuffer,
                        GLuint* texCoordBuffer) {
    discardGlError();
    glDisableVertexAttribArray(2);
    glDisableVertexAttribArray(1);
    glDisableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDeleteBuffers(1, texCoordBuffer);
    glDeleteBuffers(1, colorBuffer);
    glDeleteBuffers(1, positionBuffer);
    glBindVertexArray(0);
    glDeleteVertexArrays(1, vertexArray);
    exitOnGlError("Could not destroy the VBO: %s \n");
}
