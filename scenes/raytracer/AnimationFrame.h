#pragma once

// Which animation frame a polygon scene shows, and the frame that was last
// evaluated and flattened by any of them (all polygon scenes share it).
struct AnimationFrame {
    // frame = trunc(framesPerBeat * beat) modulo the file's frame count, with
    // beat = sceneTime * 130 / 60 + 0.35 (double, rounded to float). The remainder
    // keeps the sign of the dividend; a file that reports no frames counts as one.
    static int at(float sceneTime, int framesPerBeat, int frames);

    // Whether a scene must evaluate and flatten before drawing `frame`: the frame
    // changed, or the scene was initialised since its last flattening and its
    // buffer holds only the reset content.
    static bool needsFlatten(int frame, bool flattenPending) {
        return flattenPending || frame != lastEvaluatedFrame;
    }

    static int lastEvaluatedFrame;
};
