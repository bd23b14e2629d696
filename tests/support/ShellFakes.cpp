#include "support/ShellFakes.h"

#include "shell/FrameStep.h"
#include "shell/ShellState.h"

std::vector<std::string> callLog;

void resetShellForTest(FakeMusic& fakeMusic, FakeWindowing& fakeWindowing) {
    static RecordingScene* recording[6] = {};
    callLog.clear();
    runContext.screenWidth = 1024;
    runContext.screenHeight = 768;
    currentScene = 1;
    music = 1;
    audio = &fakeMusic;
    windowing = &fakeWindowing;
    windowId = 0;
    frameCount = 0;
    musicTime = sceneStart = sceneTime = beat = 0;
    timeline.clear();
    const float starts[6] = {0, 48, 112, 176, 240, 304};
    for (int i = 0; i < 6; ++i)
        timeline.add(starts[i], i + 1);
    for (int n = 1; n <= SceneTable::kSlots; ++n)
        scenes.set(n, nullptr);
    for (int i = 0; i < 6; ++i) {
        delete recording[i];
        recording[i] = new RecordingScene(i + 1);
        scenes.set(i + 1, recording[i]);
    }
}

std::vector<int> scenesOverFrames(int frames) {
    std::vector<int> seen;
    for (int i = 0; i < frames; ++i) {
        frameStep();
        seen.push_back(currentScene);
    }
    return seen;
}
