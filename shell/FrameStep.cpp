#include "shell/FrameStep.h"

#include <cstdio>

#include "core/MusicTime.h"
#include "shell/ShellState.h"

float sceneStartSeconds(float startBeat) {
    float seconds = showTempo.secondsAt(startBeat);
    return seconds < 0 ? 0.0f : seconds;
}

void startSchedule() {
    timeline.reset();
    currentScene = timeline.sceneNumber(0);
    sceneStart = sceneStartSeconds(timeline.startBeat(0));
}

bool followTimeline(float beat) {
    float startBeat = 0;
    int nextScene = timeline.lookup(beat, startBeat);
    if (nextScene == currentScene)
        return false;
    sceneStart = sceneStartSeconds(startBeat);
    currentScene = nextScene;
    return true;
}

FrameOutcome frameStep() {
    uint64_t position = audio->position(music);
    uint64_t length = audio->length(music);
    if (position >= length)
        return FrameOutcome::ShowEnded;

    musicTime = (float)audio->bytesToSeconds(music, position);
    beat = showTempo.beatAt(musicTime);

    if (followTimeline(beat)) {
        printf("Scenestart %d: %f\n", currentScene, sceneStart);
        printf("Change scene to %d on beat %f\n", currentScene, beat);
        scenes.activate(currentScene);
    }
    // Measured after any change, so a scene's first frame counts from its own start.
    sceneTime = musicTime - sceneStart;
    scenes.render(currentScene, musicTime, sceneTime);
    return FrameOutcome::Rendered;
}
