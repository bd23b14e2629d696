#include "scenes/raytracer/AnimationFrame.h"

#include "scene/MusicTime.h"

int AnimationFrame::at(float sceneTime, int framesPerBeat, int frames, double beatsPerMinute) {
    float beat = (float)(sceneTime * beatsPerMinute / 60.0 + kAnimationBeatOffset);
    int f = (int)(framesPerBeat * beat);
    return f % (frames > 0 ? frames : 1);
}
