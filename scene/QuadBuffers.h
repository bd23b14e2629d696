#pragma once
#include "scene/GlObjects.h"

// The quad as GL state: one vertex array with positions, colours and texture
// coordinates in attribute arrays 0, 1 and 2. Both the shell's shared buffer and
// every scene's own quad are made and torn down by these two routines.
struct QuadBuffers {
    GlVertexArray vertexArray;
    GlBuffer positionBuffer;
    GlBuffer colorBuffer;
    GlBuffer texCoordBuffer;
};

// Creation leaves the vertex array bound and GL_ARRAY_BUFFER on the texture
// coordinates. Teardown disables the three arrays, unbinds, deletes the objects and
// leaves `quad` empty. A GL error in either routine ends the process.
QuadBuffers createQuadBuffers();
void destroyQuadBuffers(QuadBuffers& quad);
