#include <GL/glew.h>

#include "scene/GlErrors.h"

#include "core/ErrorReport.h"

#include <GL/glu.h>
#include <cstdlib>

void discardGlError() {
    glGetError();
}

void exitOnGlError(const char* message) {
    GLenum code = glGetError();
    if (code == GL_NO_ERROR)
        return;
    reportError(message, reinterpret_cast<const char*>(gluErrorString(code)));
    exit(-1);
}
