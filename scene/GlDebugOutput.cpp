#include "scene/GlDebugOutput.h"
#include "core/ErrorReport.h"

#include <GL/glew.h>
#include <cstdlib>
#include <cstring>

namespace {

bool requested = false;
int problems = 0;
// A broken frame repeats its mistakes every frame; the first ones tell the story.
const int kMaxPrinted = 20;

const char* typeName(GLenum type) {
    return type == GL_DEBUG_TYPE_ERROR ? "error" : "undefined behaviour";
}

void GLAPIENTRY onMessage(GLenum, GLenum type, GLuint id, GLenum, GLsizei, const GLchar* message,
                          const void*) {
    if (type != GL_DEBUG_TYPE_ERROR && type != GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR)
        return;
    problems += 1;
    if (problems <= kMaxPrinted)
        reportError("GL debug %s %u: %s\n", typeName(type), id, message);
    if (problems == kMaxPrinted)
        reportError("GL debug: further messages are counted, not printed\n");
}

} // namespace

void requestGlDebugOutput(bool on) {
    requested = on;
}

bool glDebugOutputRequested() {
    const char* env = getenv("DEMO_GL_DEBUG");
    return requested || (env && *env && strcmp(env, "0") != 0);
}

bool installGlDebugOutput() {
    if (!glDebugMessageCallback) {
        reportError("The GL context offers no debug output (KHR_debug)\n");
        return false;
    }
    glEnable(GL_DEBUG_OUTPUT);
    // Synchronous, so a message arrives inside the call that caused it.
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(onMessage, nullptr);
    glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_TRUE);
    return true;
}

int glDebugProblemCount() {
    return problems;
}
