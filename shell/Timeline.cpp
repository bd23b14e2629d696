#include "shell/Timeline.h"

#include <cstdlib>

Timeline::~Timeline() {
    free(beats);
    free(sceneNumbers);
}

bool Timeline::add(float beat, int sceneNumber) {
    // Grow both arrays before counting the entry, so a failed allocation leaves
    // the timeline as it was.
    float* newBeats = static_cast<float*>(realloc(beats, sizeof(float) * (count + 1)));
    if (!newBeats)
        return false;
    beats = newBeats;
    int* newScenes = static_cast<int*>(realloc(sceneNumbers, sizeof(int) * (count + 1)));
    if (!newScenes)
        return false;
    sceneNumbers = newScenes;
    beats[count] = beat;
    sceneNumbers[count] = sceneNumber;
    count += 1;
    return true;
}

int Timeline::lookup(float beat, float& startBeat) {
    if (cursor < count - 1 && beats[cursor + 1] <= beat)
        cursor += 1;
    startBeat = beats[cursor];
    return sceneNumbers[cursor];
}
