#pragma once

// The show's tempo and the offset of its beat clock. The polygon and model scenes
// count their animation frames with kAnimationBeatOffset instead.
constexpr double kBeatsPerMinute = 130.0;
constexpr double kBeatOffset = 0.11;
constexpr double kAnimationBeatOffset = 0.35;

// A show's beat clock: the built-in show's by default, a show file's own otherwise.
// Computed in double precision, operations left to right, rounded to float, so the
// default gives exactly the built-in show's beats.
struct Tempo {
    double beatsPerMinute = kBeatsPerMinute;
    double beatOffset = kBeatOffset;

    float beatAt(float seconds) const { return (float)(seconds * beatsPerMinute / 60.0 + beatOffset); }
    float secondsAt(float beat) const { return (float)((beat - beatOffset) * 60.0 / beatsPerMinute); }
    bool operator==(const Tempo& other) const {
        return beatsPerMinute == other.beatsPerMinute && beatOffset == other.beatOffset;
    }
};

// The built-in show's conversions.
inline float secondsToBeats(float seconds) {
    return Tempo().beatAt(seconds);
}
inline float beatsToSeconds(float beat) {
    return Tempo().secondsAt(beat);
}
