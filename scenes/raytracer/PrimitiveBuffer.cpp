#include "scenes/raytracer/PrimitiveBuffer.h"
#include "core/ErrorReport.h"

#include "core/PrimitiveLayout.h"

PrimitiveBuffer PrimitiveBuffer::create() {
    PrimitiveBuffer made;
    made.buffer = GlBuffer::generate();
    glBindBuffer(GL_TEXTURE_BUFFER, made.buffer.get());
    glBufferData(GL_TEXTURE_BUFFER, primitive::kBufferBytes, nullptr, GL_DYNAMIC_DRAW);
    made.texture = GlTexture::generate();
    glBindTexture(GL_TEXTURE_BUFFER, made.texture.get());
    glTexBufferEXT(GL_TEXTURE_BUFFER, GL_RGBA32F, made.buffer.get());
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
    return made;
}

void PrimitiveBuffer::resetContent() const {
    glBindBuffer(GL_TEXTURE_BUFFER, buffer.get());
    float* texels = static_cast<float*>(glMapBuffer(GL_TEXTURE_BUFFER, GL_WRITE_ONLY));
    if (texels) {
        PrimitiveWriter::resetTexels(texels);
        glUnmapBuffer(GL_TEXTURE_BUFFER);
    } else {
        reportError("Could not map the primitive buffer\n");
    }
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
}

void PrimitiveBuffer::upload(const float* texels, const std::vector<TexelRange>& ranges) const {
    const GLsizeiptr texelBytes = primitive::kFloatsPerTexel * sizeof(float);
    glBindBuffer(GL_TEXTURE_BUFFER, buffer.get());
    for (const TexelRange& range : ranges) {
        if (range.first < 0 || range.count <= 0 || range.first + range.count > primitive::kTexels)
            continue;
        glBufferSubData(GL_TEXTURE_BUFFER, range.first * texelBytes, range.count * texelBytes,
                        texels + size_t(range.first) * primitive::kFloatsPerTexel);
    }
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
}
