#include "core/AnimationFrame.h"

#include "core/MusicTime.h"

int AnimationFrame::at(float sceneTime, int framesPerBeat, int frames) {
    float beat = (float)(sceneTime * kBeatsPerMinute / 60.0 + kAnimationBeatOffset);
    int f = (int)(framesPerBeat * beat);
    return f % (frames > 0 ? frames : 1);
}
