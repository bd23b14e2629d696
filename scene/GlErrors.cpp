#include <GL/glew.h>

#include "scene/GlErrors.h"

#include "core/ErrorReport.h"

#include <GL/glu.h>
#include <cstdlib>

namespace {

void endProcess(unsigned) {
    exit(-1);
}

FatalGlErrorHandler fatalHandler = endProcess;

} // namespace

void discardGlError() {
    glGetError();
}

void exitOnGlError(const char* message) {
    GLenum code = glGetError();
    if (code == GL_NO_ERROR)
        return;
    reportError(message, reinterpret_cast<const char*>(gluErrorString(code)));
    fatalHandler(code);
}

FatalGlErrorHandler setFatalGlErrorHandler(FatalGlErrorHandler handler) {
    FatalGlErrorHandler previous = fatalHandler;
    fatalHandler = handler ? handler : endProcess;
    return previous;
}
