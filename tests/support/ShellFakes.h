#pragma once
// Stand-ins for the shell's collaborators: a music clock moved by hand, a
// windowing toolkit that records what it is asked, and scenes that record calls.
#include <string>
#include <vector>

#include "scene/Scene.h"
#include "shell/Music.h"
#include "shell/ShellState.h"
#include "shell/Windowing.h"

// Calls, in order, across all fakes of one test.
extern std::vector<std::string> callLog;

class FakeMusic : public Music {
  public:
    static constexpr double kBytesPerSecond = 176400.0; // 44.1 kHz, stereo, 16-bit
    uint64_t pos = 0;
    uint64_t len = (uint64_t)(200 * kBytesPerSecond);

    void setSeconds(double seconds) { pos = secondsToBytes(1, seconds); }

    bool init(int) override { return true; }
    MusicHandle streamCreateFile(const char*) override { return 1; }
    bool paused = false;
    bool play(MusicHandle, bool) override {
        paused = false;
        return true;
    }
    void pause(MusicHandle) override { paused = true; }
    uint64_t position(MusicHandle) override { return pos; }
    uint64_t length(MusicHandle) override { return len; }
    double bytesToSeconds(MusicHandle, uint64_t bytes) override { return bytes / kBytesPerSecond; }
    uint64_t secondsToBytes(MusicHandle, double s) override { return s <= 0 ? 0 : (uint64_t)(s * 44100) * 4; }
    bool setPosition(MusicHandle, uint64_t bytes) override {
        callLog.push_back("setPosition");
        pos = bytes;
        return true;
    }
    void free() override { callLog.push_back("audio free"); }
    const char* lastError() const override { return ""; }
};

class RecordingScene final : public Scene {
  public:
    explicit RecordingScene(int number) : Scene(runContext), number(number) {}
    int number;
    float lastTime = -1, lastSceneTime = -1;
    void render(float time, float st) override {
        lastTime = time;
        lastSceneTime = st;
        callLog.push_back("render " + std::to_string(number));
    }
    void init() override { callLog.push_back("init " + std::to_string(number)); }
    void activate() override { callLog.push_back("activate " + std::to_string(number)); }
};

class FakeWindowing : public Windowing {
  public:
    int createWindowResult = 1;
    int gameModePossible = 0;
    std::string title;
    unsigned timerMs = 0;
    int timerValue = -1;

    void init(int*, char**) override { log("init"); }
    void setOption(int, int) override { log("setOption"); }
    void initWindowSize(int w, int h) override {
        log("initWindowSize " + std::to_string(w) + "x" + std::to_string(h));
    }
    void initDisplayMode(unsigned mode) override { log("initDisplayMode " + std::to_string(mode)); }
    int createWindow(const char* t) override {
        log(std::string("createWindow ") + t);
        return createWindowResult;
    }
    void gameModeString(const char* mode) override { log(std::string("gameModeString ") + mode); }
    int gameModeGet(int) override {
        log("gameModeGet");
        return gameModePossible;
    }
    void destroyWindow(int id) override { log("destroyWindow " + std::to_string(id)); }
    int enterGameMode() override {
        log("enterGameMode");
        return 1;
    }
    void leaveGameMode() override { log("leaveGameMode"); }
    void setCursor(int c) override { log("setCursor " + std::to_string(c)); }
    void registerCallbacks() override { log("registerCallbacks"); }
    void swapBuffers() override { log("swap"); }
    void postRedisplay() override { log("postRedisplay"); }
    void setWindowTitle(const char* t) override {
        title = t;
        log("setWindowTitle");
    }
    void timerFunc(unsigned ms, void (*)(int), int value) override {
        timerMs = ms;
        timerValue = value;
        log("timer");
    }
    void fullScreen() override { log("fullScreen"); }
    void exitMainLoop() override { log("exitMainLoop"); }

  private:
    void log(const std::string& s) { callLog.push_back(s); }
};

// Puts the process-wide shell state back to its start values, with the show's
// six timeline entries, recording scenes in slots 1 to 6 and the fakes wired in.
void resetShellForTest(FakeMusic& fakeMusic, FakeWindowing& fakeWindowing);

// Runs `frames` frame steps and returns the scene on screen after each.
std::vector<int> scenesOverFrames(int frames);
