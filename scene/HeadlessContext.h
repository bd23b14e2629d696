#pragma once
#include "scene/GlDebugOutput.h"

// A desktop OpenGL compatibility context without a window, through EGL: the device
// platform first (a GPU driver), Mesa's surfaceless platform otherwise. A pbuffer
// surface of the frame size is made current so that framebuffer 0 exists and passes
// that draw to the window draw to it. GLEW is initialised on it.
class HeadlessContext {
  public:
    HeadlessContext() = default;
    ~HeadlessContext();
    HeadlessContext(const HeadlessContext&) = delete;
    HeadlessContext& operator=(const HeadlessContext&) = delete;

    // Returns false (with an "ERROR: " line) when no context can be had. With
    // `debug`, or when the environment asks (glDebugOutputFromEnvironment), a debug
    // context whose errors and undefined behaviour this object counts.
    bool create(int width, int height, bool debug = false);
    void destroy();
    // Makes the default framebuffer's picture visible to glReadPixels (a no-op swap).
    void swap();
    // Which EGL platform gave the context ("device" or "surfaceless"), or "".
    const char* platform() const { return platformName; }
    // Whether the context reports to debugProblems, and what it reported since create.
    bool debugging() const { return debugRequested; }
    int debugProblems() const { return debugOutput.problems(); }

  private:
    bool createOn(void* display, const char* name, int width, int height);
    void* display = nullptr;
    void* context = nullptr;
    void* surface = nullptr;
    const char* platformName = "";
    bool debugRequested = false;
    GlDebugOutput debugOutput;
};
