#pragma once

// The windowing toolkit as the shell uses it. The real one is freeglut; tests give
// a recording fake so that start-up order, the game-mode branch and the callbacks
// can be checked without a display.
class Windowing {
  public:
    virtual ~Windowing() = default;

    // Toolkit initialisation; a failure (no display) ends the process with status 1.
    virtual void init(int* argc, char** argv) = 0;
    virtual void setOption(int option, int value) = 0;
    virtual void initWindowSize(int width, int height) = 0;
    virtual void initDisplayMode(unsigned mode) = 0;
    virtual int createWindow(const char* title) = 0;
    virtual void gameModeString(const char* mode) = 0;
    virtual int gameModeGet(int query) = 0;
    virtual void destroyWindow(int window) = 0;
    virtual int enterGameMode() = 0;
    virtual void leaveGameMode() = 0;
    virtual void setCursor(int cursor) = 0;
    // Registers reshape, display, keyboard, idle, the first fpsTimer and onClose.
    virtual void registerCallbacks() = 0;

    virtual void swapBuffers() = 0;
    virtual void postRedisplay() = 0;
    virtual void setWindowTitle(const char* title) = 0;
    virtual void timerFunc(unsigned milliseconds, void (*callback)(int), int value) = 0;
    virtual void fullScreen() = 0;
    virtual void exitMainLoop() = 0;
};

// The toolkit the callbacks talk to; set by start-up (or by a test).
extern Windowing* windowing;
