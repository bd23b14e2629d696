#pragma once
#include <cstdint>

struct FrameClock;

// Brings the timeline's cursor, currentScene and sceneStart to where frames 0 to
// `frames` - 1 of a capture from the start leave them, without rendering: the
// same lookup and scene-change steps, one per frame, on the positions of `clock`
// read through the shell's music. A capture that starts later then renders what
// a capture from the start renders.
void replayTimeline(int64_t frames, const FrameClock& clock);
