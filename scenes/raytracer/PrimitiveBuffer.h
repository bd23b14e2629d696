#pragma once
#include "scenes/raytracer/PrimitiveWriter.h"

#include <GL/glew.h>
#include <vector>

// The primitive buffer on the GPU: one 16 MiB buffer object, read by the
// ray-tracing shader through an RGBA32F buffer texture. It is allocated once and
// then updated in place.
void createPrimitiveBuffer(GLuint* buffer, GLuint* bufferTexture);
// The content before the first flattening (see PrimitiveWriter::resetTexels),
// written through a write-only mapping of the whole buffer.
void resetPrimitiveBuffer(GLuint buffer);
// Copies only the texel ranges a flattening wrote, range by range; everything
// else in the buffer keeps its content.
void uploadTexelRanges(GLuint buffer, const float* texels, const std::vector<TexelRange>& ranges);
void deletePrimitiveBuffer(GLuint* buffer, GLuint* bufferTexture);

// The array every flattening writes into before its ranges are uploaded, shared by
// all polygon scenes (flattening is synchronous, one scene at a time). It starts as
// the reset content; writers only write the components their records define, at
// positions fixed by the layout, so the rest always equals what the GPU buffers hold.
float* sharedFlattenTexels();
