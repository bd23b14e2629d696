#pragma once

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

    // Returns false (with an "ERROR: " line) when no context can be had.
    bool create(int width, int height);
    void destroy();
    // Makes the default framebuffer's picture visible to glReadPixels (a no-op swap).
    void swap();
    // Which EGL platform gave the context ("device" or "surfaceless"), or "".
    const char* platform() const { return platformName; }

  private:
    bool createOn(void* display, const char* name, int width, int height);
    void* display = nullptr;
    void* context = nullptr;
    void* surface = nullptr;
    const char* platformName = "";
};
