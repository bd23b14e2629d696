#pragma once
#include "core/PrimitiveWriter.h"
#include "scene/GlObjects.h"

#include <vector>

// The primitive buffer on the GPU: one 16 MiB buffer object, read by the
// ray-tracing shader through an RGBA32F buffer texture. It is allocated once and
// then updated in place; both objects are deleted with the owner.
class PrimitiveBuffer {
  public:
    // Empty: no GL objects until create.
    PrimitiveBuffer() = default;
    // Allocates the buffer without content and its buffer texture.
    static PrimitiveBuffer create();

    bool created() const { return bool(buffer); }
    GLuint bufferName() const { return buffer.get(); }
    GLuint textureName() const { return texture.get(); }

    // The content before the first flattening (see PrimitiveWriter::resetTexels),
    // written through a write-only mapping of the whole buffer.
    void resetContent() const;
    // Copies only the given texel ranges (those a flattening changed), range by
    // range; everything else in the buffer keeps its content.
    void upload(const float* texels, const std::vector<TexelRange>& ranges) const;

  private:
    GlBuffer buffer;
    GlTexture texture;
};
