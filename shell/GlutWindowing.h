#pragma once
#include "shell/Windowing.h"

class GlutWindowing : public Windowing {
  public:
    void init(int* argc, char** argv) override;
    void setOption(int option, int value) override;
    void initWindowSize(int width, int height) override;
    void initDisplayMode(unsigned mode) override;
    int createWindow(const char* title) override;
    void gameModeString(const char* mode) override;
    int gameModeGet(int query) override;
    void destroyWindow(int window) override;
    int enterGameMode() override;
    void leaveGameMode() override;
    void setCursor(int cursor) override;
    void registerCallbacks() override;
    void swapBuffers() override;
    void postRedisplay() override;
    void setWindowTitle(const char* title) override;
    void timerFunc(unsigned milliseconds, void (*callback)(int), int value) override;
    void fullScreen() override;
    void exitMainLoop() override;
};
