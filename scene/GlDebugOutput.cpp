#include "scene/GlDebugOutput.h"
#include "core/ErrorReport.h"

#include <GL/glew.h>
#include <cstdlib>
#include <cstring>

namespace {

// A broken frame repeats its mistakes every frame; the first ones tell the story.
const int kMaxPrinted = 20;

const char* typeName(GLenum type) {
    return type == GL_DEBUG_TYPE_ERROR ? "error" : "undefined behaviour";
}

} // namespace

void GLAPIENTRY GlDebugOutput::onMessage(GLenum, GLenum type, GLuint id, GLenum, GLsizei,
                                         const GLchar* message, const void* self) {
    if (type != GL_DEBUG_TYPE_ERROR && type != GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR)
        return;
    // The callback's user pointer is the object that installed it.
    GlDebugOutput* output = const_cast<GlDebugOutput*>(static_cast<const GlDebugOutput*>(self));
    output->count += 1;
    if (output->count <= kMaxPrinted)
        reportError("GL debug %s %u: %s\n", typeName(type), id, message);
    if (output->count == kMaxPrinted)
        reportError("GL debug: further messages are counted, not printed\n");
}

bool glDebugOutputFromEnvironment() {
    const char* env = getenv("DEMO_GL_DEBUG");
    return env && *env && strcmp(env, "0") != 0;
}

bool GlDebugOutput::install() {
    if (!glDebugMessageCallback) {
        reportError("The GL context offers no debug output (KHR_debug)\n");
        return false;
    }
    count = 0;
    glEnable(GL_DEBUG_OUTPUT);
    // Synchronous, so a message arrives inside the call that caused it.
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(onMessage, this);
    glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_TRUE);
    return true;
}
