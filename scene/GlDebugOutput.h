#pragma once
#include <GL/glew.h>

// GL's own report of misuse, through a debug context (KHR_debug). A headless
// context asked for it is created with the debug flag, and every message GL gives
// of type error or undefined behaviour is counted here and printed as an "ERROR: "
// line; other driver messages (performance, portability, notes) are ignored.
class GlDebugOutput {
  public:
    GlDebugOutput() = default;
    GlDebugOutput(const GlDebugOutput&) = delete;
    GlDebugOutput& operator=(const GlDebugOutput&) = delete;

    // Installs the message callback, counting into this object, on the current
    // context (GLEW must be loaded); the object must outlive the context's use.
    // Returns false, with an "ERROR: " line, when the context offers no debug output.
    bool install();
    // Messages of type error or undefined behaviour since install.
    int problems() const { return count; }

  private:
    static void GLAPIENTRY onMessage(GLenum source, GLenum type, GLuint id, GLenum severity, GLsizei length,
                                     const GLchar* message, const void* self);
    int count = 0;
};

// Whether the environment asks every headless context for debug output:
// DEMO_GL_DEBUG set to anything but "" or "0", so any program can be checked.
bool glDebugOutputFromEnvironment();
