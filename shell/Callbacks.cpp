#include "shell/Callbacks.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "scene/Scene.h"
#include "shell/AdaptiveResolution.h"
#include "shell/FrameStep.h"
#include "shell/LiveEditing.h"
#include "shell/SharedVbo.h"
#include "shell/ShellState.h"
#include "shell/Windowing.h"
#include "shell/authoring/Authoring.h"

namespace {
const char* const kWindowName = "Demo";
const unsigned kFpsPeriodMs = 250;
const int kFpsPeriodsPerSecond = 4;
} // namespace

void shutDownShow() {
    stopAuthoring();
    windowing->leaveGameMode();
    audio->free();
}

void clearFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}

// With --target-fps: the time since the last frame decides the traced side of
// this one.
void adaptResolution() {
    static std::chrono::steady_clock::time_point last;
    const auto now = std::chrono::steady_clock::now();
    if (last != std::chrono::steady_clock::time_point())
        adaptiveResolution->update(std::chrono::duration<double>(now - last).count());
    last = now;
    // Every scene, so that one the timeline brings on this frame starts small too.
    for (int n = 1; n <= SceneTable::kSlots; ++n)
        if (Scene* scene = scenes.get(n))
            scene->setTracedSide(adaptiveResolution->side());
}

void display() {
    pollLiveEditing();
    frameCount += 1;
    if (adaptiveResolution)
        adaptResolution();
    clearFrame();
    authoringBeforeFrame();
    if (frameStep() == FrameOutcome::ShowEnded) {
        shutDownShow();
        exit(0);
    }
    authoringAfterFrame();
    windowing->swapBuffers();
    windowing->postRedisplay();
}

double reshapeAspect(int width, int height) {
    return height == 0 ? 1.0 : (double)width / (double)height;
}

void reshape(int width, int height) {
    runContext.screenWidth = width;
    runContext.screenHeight = height;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, reshapeAspect(width, height), 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    scenes.activate(currentScene);
}

void idle() {
    windowing->postRedisplay();
}

void fpsTimer(int value) {
    if (value != 0) {
        char title[128];
        int length =
            snprintf(title, sizeof(title), "%s: %d Frames Per Second @ %d x %d", kWindowName,
                     frameCount * kFpsPeriodsPerSecond, runContext.screenWidth, runContext.screenHeight);
        if (adaptiveResolution && length > 0 && length < (int)sizeof(title))
            snprintf(title + length, sizeof(title) - length, ", traced %d x %d", adaptiveResolution->side(),
                     adaptiveResolution->side());
        windowing->setWindowTitle(title);
    }
    frameCount = 0;
    windowing->timerFunc(kFpsPeriodMs, fpsTimer, 1);
}

void onClose() {
    stopAuthoring();
    destroyVBO();
    audio->free();
}
