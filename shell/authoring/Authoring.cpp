#include "shell/authoring/Authoring.h"

#include <GL/freeglut.h>
#include <chrono>
#include <cstdio>
#include <imgui.h>
#include <imgui_impl_glut.h>
#include <memory>

#include "core/MusicTime.h"
#include "shell/AdaptiveResolution.h"
#include "shell/FrameStep.h"
#include "shell/LineUp.h"
#include "shell/LiveEditing.h"
#include "shell/RenderSettings.h"
#include "shell/ShellState.h"
#include "shell/authoring/Overlay.h"
#include "shell/authoring/Transport.h"

namespace {

using Clock = std::chrono::steady_clock;
const double kFpsWindowSeconds = 0.5;

bool on = false;
bool overlayShown = true;
std::unique_ptr<Overlay> overlay;

// The frame rate over the last half second or so, for the overlay.
struct FrameRate {
    Clock::time_point windowStart, lastFrame;
    int frames = 0;
    float fps = 0;
    float delta = 0; // seconds since the frame before
    void frame() {
        Clock::time_point now = Clock::now();
        if (frames == 0 && windowStart == Clock::time_point())
            windowStart = lastFrame = now;
        delta = std::chrono::duration<float>(now - lastFrame).count();
        lastFrame = now;
        frames += 1;
        double elapsed = std::chrono::duration<double>(now - windowStart).count();
        if (elapsed >= kFpsWindowSeconds) {
            fps = (float)(frames / elapsed);
            frames = 0;
            windowStart = now;
        }
    }
} frameRate;

// A click from xdotool or a quick tap can press and release between two frames,
// and ImGui reads the button once a frame: a release is held back until a frame
// has seen the press.
bool pressUnseen = false;
bool releaseHeld = false;

void mouse(int button, int state, int x, int y) {
    if (button == GLUT_LEFT_BUTTON && state == GLUT_UP && pressUnseen && overlayShown) {
        releaseHeld = true;
        ImGui_ImplGLUT_MotionFunc(x, y);
        return;
    }
    if (button == GLUT_LEFT_BUTTON && state == GLUT_DOWN)
        pressUnseen = true;
    ImGui_ImplGLUT_MouseFunc(button, state, x, y);
}

void special(int key, int x, int y) {
    (void)x, (void)y;
    authoringSpecialKey(key);
}

void toggleOverlay() {
    overlayShown = !overlayShown;
    printf("Overlay %s\n", overlayShown ? "shown" : "hidden");
    fflush(stdout);
}

} // namespace

OverlayFacts gatherOverlayFacts(float fps) {
    OverlayFacts f;
    f.seconds = musicTime;
    f.beat = beat;
    f.entries = timeline.size();
    f.entry = timeline.position();
    f.entryStartBeat = f.entries > 0 ? timeline.startBeat(f.entry) : 0;
    f.scene = currentScene;
    f.sceneClass = sceneClassName(scenes.get(currentScene));
    f.fps = fps;
    f.width = runContext.screenWidth;
    f.height = runContext.screenHeight;
    f.tracedSide = adaptiveResolution ? adaptiveResolution->side() : effectiveRenderWidth(kRenderWidth);
    const TransportState& transport = transportState();
    f.paused = transport.paused;
    f.looping = transport.looping;
    f.loopStart = transport.loopStart;
    f.loopEnd = transport.loopEnd;
    f.errors = sceneReloadErrors(currentScene);
    f.trackSeconds = trackSeconds();
    for (int i = 0; i < timeline.size(); ++i) {
        f.entryStarts.push_back(sceneStartSeconds(timeline.startBeat(i)));
        f.entryScenes.push_back(timeline.sceneNumber(i));
    }
    return f;
}

void startAuthoring() {
    on = true;
    resetTransport();
    overlay.reset(new Overlay());
    if (overlay->ok()) {
        ImGui_ImplGLUT_Init();
        glutMouseFunc(mouse);
        glutMotionFunc(ImGui_ImplGLUT_MotionFunc);
        glutPassiveMotionFunc(ImGui_ImplGLUT_MotionFunc);
    } else {
        overlay.reset();
    }
    glutSpecialFunc(special);
    printf("Editing: p pause, left/right a bar, page up/down an entry, l loop, Tab overlay\n");
}

bool authoringOn() {
    return on;
}

bool authoringKey(unsigned char key) {
    if (!on)
        return false;
    if (key == '\t')
        toggleOverlay();
    else if (key == 'p')
        togglePause();
    else if (key == 'l')
        toggleLoop();
    else
        return false;
    return true;
}

void authoringSpecialKey(int key) {
    if (!on)
        return;
    if (key == GLUT_KEY_LEFT)
        stepBar(-1);
    else if (key == GLUT_KEY_RIGHT)
        stepBar(1);
    else if (key == GLUT_KEY_PAGE_UP)
        stepEntry(-1);
    else if (key == GLUT_KEY_PAGE_DOWN)
        stepEntry(1);
}

void authoringBeforeFrame() {
    if (on)
        keepLooping();
}

void authoringAfterFrame() {
    if (!on)
        return;
    frameRate.frame();
    if (!overlay || !overlayShown)
        return;
    float seconds = 0;
    bool seek = overlay->draw(gatherOverlayFacts(frameRate.fps), frameRate.delta, &seconds);
    if (pressUnseen && ImGui::GetIO().MouseDown[0]) {
        pressUnseen = false;
        if (releaseHeld) {
            releaseHeld = false;
            ImGui::GetIO().MouseDown[0] = false;
        }
    }
    if (seek)
        seekTo(seconds);
}

void stopAuthoring() {
    overlay.reset();
}
