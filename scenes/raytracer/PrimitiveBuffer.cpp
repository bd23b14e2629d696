#include "scenes/raytracer/PrimitiveBuffer.h"
#include "scene/ErrorReport.h"

#include "scenes/raytracer/PrimitiveLayout.h"

#include <cstdio>
#include <cstring>

void createPrimitiveBuffer(GLuint* buffer, GLuint* bufferTexture) {
    glGenBuffers(1, buffer);
    glBindBuffer(GL_TEXTURE_BUFFER, *buffer);
    glBufferData(GL_TEXTURE_BUFFER, primitive::kBufferBytes, nullptr, GL_DYNAMIC_DRAW);
    glGenTextures(1, bufferTexture);
    glBindTexture(GL_TEXTURE_BUFFER, *bufferTexture);
    glTexBufferEXT(GL_TEXTURE_BUFFER, GL_RGBA32F, *buffer);
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
}

void resetPrimitiveBuffer(GLuint buffer) {
    glBindBuffer(GL_TEXTURE_BUFFER, buffer);
    float* texels = static_cast<float*>(glMapBuffer(GL_TEXTURE_BUFFER, GL_WRITE_ONLY));
    if (texels) {
        PrimitiveWriter::resetTexels(texels);
        glUnmapBuffer(GL_TEXTURE_BUFFER);
    } else {
        reportError("Could not map the primitive buffer\n");
    }
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
}

void uploadTexelRanges(GLuint buffer, const float* texels, const std::vector<TexelRange>& ranges) {
    const GLsizeiptr texelBytes = primitive::kFloatsPerTexel * sizeof(float);
    glBindBuffer(GL_TEXTURE_BUFFER, buffer);
    for (const TexelRange& range : ranges) {
        if (range.first < 0 || range.count <= 0 || range.first + range.count > primitive::kTexels)
            continue;
        glBufferSubData(GL_TEXTURE_BUFFER, range.first * texelBytes, range.count * texelBytes,
                        texels + size_t(range.first) * primitive::kFloatsPerTexel);
    }
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
}

void deletePrimitiveBuffer(GLuint* buffer, GLuint* bufferTexture) {
    glDeleteTextures(1, bufferTexture);
    glDeleteBuffers(1, buffer);
    *buffer = 0;
    *bufferTexture = 0;
}

float* sharedFlattenTexels() {
    static std::vector<float> texels;
    if (texels.empty()) {
        texels.resize(size_t(primitive::kTexels) * primitive::kFloatsPerTexel);
        PrimitiveWriter::resetTexels(texels.data());
    }
    return texels.data();
}
