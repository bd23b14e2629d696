#include "core/AnimationFrame.h"

#include "core/MusicTime.h"

float AnimationFrame::beatAt(float sceneTime, double beatsPerMinute) {
    return (float)(sceneTime * beatsPerMinute / 60.0 + kAnimationBeatOffset);
}

int AnimationFrame::at(float sceneTime, int framesPerBeat, int frames, double beatsPerMinute) {
    float beat = beatAt(sceneTime, beatsPerMinute);
    int f = (int)(framesPerBeat * beat);
    return f % (frames > 0 ? frames : 1);
}
