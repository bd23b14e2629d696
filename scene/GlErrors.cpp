#include "scene/GlErrors.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <cstdio>
#include <cstdlib>

void discardGlError() {
    glGetError();
}

void exitOnGlError(const char* format) {
    GLenum code = glGetError();
    if (code == GL_NO_ERROR)
        return;
    fprintf(stderr, format, reinterpret_cast<const char*>(gluErrorString(code)));
    fflush(stderr);
    exit(-1);
}
