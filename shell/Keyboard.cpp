#include <cstdio>

#include "shell/Callbacks.h"
#include "shell/LiveEditing.h"
#include "shell/ShellState.h"
#include "shell/Windowing.h"
#include "shell/authoring/Authoring.h"

namespace {

const float kJumpSeconds = 5.0f;

// Shows a scene picked by number until the timeline takes over on the next frame;
// picking the scene on screen restarts its clock.
void selectScene(int sceneNumber) {
    currentScene = sceneNumber;
    printf("Scene %d\n", currentScene);
    sceneStart = musicTime;
    activateWatchedScene(currentScene);
}

// Moves the music by `delta` seconds (not below 0). Scene 1 renders once with the
// time before the jump and the scene time after it, whatever is on screen; that
// render leaves scene 1's programs and textures bound, so the scene on screen is
// activated again before it draws its next frame.
void jump(float delta) {
    float before = (float)audio->bytesToSeconds(music, audio->position(music));
    float target = before + delta;
    if (target < 0)
        target = 0;
    musicTime = target;
    sceneTime = musicTime - sceneStart;
    scenes.render(1, before, sceneTime);
    scenes.activate(currentScene);
    printf("%f -> %f \n", before, target);
    audio->setPosition(music, audio->secondsToBytes(music, target));
}

} // namespace

void keyboard(unsigned char key, int x, int y) {
    printf("%d %d %d\n", key, x, y);
    if (authoringKey(key)) {
        // Tab, p or l under --edit: handled there
    } else if (key == 13) {
        reloadWatchedScene(currentScene);
        activateWatchedScene(currentScene);
    } else if (key == '0') {
        selectScene(10);
    } else if (key >= '1' && key <= '9') {
        selectScene(key - '0');
    } else if (key == 'f') {
        windowing->fullScreen();
    } else if (key == 27) {
        windowing->exitMainLoop();
    } else if (key == ' ') {
        jump(kJumpSeconds);
    } else if (key == 8) {
        timeline.reset();
        jump(-kJumpSeconds);
    }
    fflush(stdout);
}
