#include "core/AnimationFrame.h"

#include "core/MusicTime.h"

float AnimationFrame::beatAt(float sceneTime) {
    return (float)(sceneTime * kBeatsPerMinute / 60.0 + kAnimationBeatOffset);
}

int AnimationFrame::at(float sceneTime, int framesPerBeat, int frames) {
    float beat = beatAt(sceneTime);
    int f = (int)(framesPerBeat * beat);
    return f % (frames > 0 ? frames : 1);
}
