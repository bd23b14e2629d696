#pragma once

class Timeline;

// Where the transport keys land, from the beat count alone: bars of four beats
// counted from beat 0, and the timeline entries by their start beats.

constexpr int kBeatsPerBar = 4;

// A beat this close to a bar start counts as on it: a seek lands a
// fraction of a sample frame off the exact beat, and a second press must still
// move on instead of landing on the same bar.
constexpr float kOnBeatSlack = 0.05f;

// The bar an arrow key lands on from `beat`: forward (direction > 0) the next bar
// start after `beat`, back the last bar start before it; from a bar start either
// way moves a whole bar. May be negative; the caller clamps to the track.
int barStep(float beat, int direction);
// Whole bars and the beat within the bar (0 to 3.99) of a beat count, with the
// same slack, so that a seek onto a bar reads as that bar's beat 0.
int barOf(float beat);
float beatInBar(float beat);

// The entry whose part of the show holds `beat`: the last entry starting at or
// before it (0 before the first). Needs at least one entry.
int entryAt(const Timeline& timeline, float beat);
// The entry page up (direction < 0) or page down moves to from `beat`, never
// outside the timeline.
int entryStep(const Timeline& timeline, float beat, int direction);
