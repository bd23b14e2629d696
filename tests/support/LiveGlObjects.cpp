#include "support/LiveGlObjects.h"

#include <GL/glew.h>

namespace {
const GLuint kHighestName = 4096;
}

LiveGlObjects LiveGlObjects::count() {
    LiveGlObjects live;
    for (GLuint name = 1; name <= kHighestName; ++name) {
        live.buffers += glIsBuffer(name) ? 1 : 0;
        live.textures += glIsTexture(name) ? 1 : 0;
        live.framebuffers += glIsFramebufferEXT(name) ? 1 : 0;
        live.vertexArrays += glIsVertexArray(name) ? 1 : 0;
    }
    return live;
}

bool LiveGlObjects::operator==(const LiveGlObjects& other) const {
    return buffers == other.buffers && textures == other.textures && framebuffers == other.framebuffers &&
           vertexArrays == other.vertexArrays;
}

std::ostream& operator<<(std::ostream& out, const LiveGlObjects& live) {
    return out << live.buffers << " buffers, " << live.textures << " textures, " << live.framebuffers
               << " framebuffers, " << live.vertexArrays << " vertex arrays";
}
