#pragma once

// The show's tempo and the offset of its beat clock. The polygon and model scenes
// count their animation frames with kAnimationBeatOffset instead.
constexpr double kBeatsPerMinute = 130.0;
constexpr double kBeatOffset = 0.11;
constexpr double kAnimationBeatOffset = 0.35;

// Computed in double precision, operations left to right, rounded to float.
inline float secondsToBeats(float seconds) {
    return (float)(seconds * kBeatsPerMinute / 60.0 + kBeatOffset);
}
inline float beatsToSeconds(float beat) {
    return (float)((beat - kBeatOffset) * 60.0 / kBeatsPerMinute);
}
