#pragma once

enum class FrameOutcome { Rendered, ShowEnded };

// The heart of one frame, apart from clearing and swapping: read the music clock,
// end the show when the position is not below the length, turn the position into
// music time and beat, change scene when the timeline says so, measure the scene
// time from the start of the scene on screen, and render it. Works on the process-wide shell state; needs no
// window, so the headless driver and the tests run it too.
FrameOutcome frameStep();

// Start time in seconds of a timeline entry's scene, never below 0.
float sceneStartSeconds(float startBeat);

// Puts the schedule at its start: the timeline's cursor and the scene on screen at
// its first entry, with that entry's start time. Needs at least one entry.
void startSchedule();

// The schedule's part of a frame: asks the timeline for the scene of `beat` and,
// when it is not the scene on screen, makes it current with its start time.
// Returns true on a change. Touches no GL and prints nothing.
bool followTimeline(float beat);
