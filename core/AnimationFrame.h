#pragma once
#include "core/MusicTime.h"

// Which animation frame a polygon scene shows, and whether it must evaluate and
// flatten its file before drawing it.
struct AnimationFrame {
    // The beat an animation counts its frames by at `sceneTime`: sceneTime *
    // beatsPerMinute / 60 + kAnimationBeatOffset (MusicTime.h), in double, rounded
    // to float (the built-in show's 130 beats per minute by default). Every scene
    // that plays a keyframed file steps by it.
    static float beatAt(float sceneTime, double beatsPerMinute = kBeatsPerMinute);

    // frame = trunc(framesPerBeat * beatAt(sceneTime)) modulo the file's frame
    // count. The remainder keeps the sign of the dividend; a file that reports no
    // frames counts as one.
    static int at(float sceneTime, int framesPerBeat, int frames, double beatsPerMinute = kBeatsPerMinute);

    // Whether a scene must evaluate and flatten before drawing `frame`: it differs
    // from the frame this scene last evaluated (each scene keeps its own: another
    // scene's render, a jump key's for instance, says nothing about this one's
    // buffer), or the scene was initialised since and its buffer holds only the
    // reset content.
    static bool needsFlatten(int frame, int lastEvaluatedFrame, bool flattenPending) {
        return flattenPending || frame != lastEvaluatedFrame;
    }
};
