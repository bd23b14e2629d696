#pragma once

// The authoring transport (--edit): pause, move by bars and by timeline entries,
// loop the entry on screen, seek anywhere. Every move puts the music there and
// replays the schedule up to it, as a capture range does, so the scene on screen
// and its clock are what playing to that point would give; the music position
// stays the clock. Works on the shell's state; needs no window.

struct TransportState {
    bool paused = false;
    bool looping = false;
    float loopStart = 0; // seconds of music
    float loopEnd = 0;
};

// Nothing paused or looping.
void resetTransport();
const TransportState& transportState();

// The key actions. Each prints one line ending in the music time after it, as
// "t=SECONDS" ("Paused t=31.25", "Bar 20 t=36.87").
void togglePause();
void stepBar(int direction);   // arrow keys: one bar back (< 0) or forward
void stepEntry(int direction); // page up and down: the previous or next entry's start
void toggleLoop();             // loops the entry on screen until pressed again
// A click on the overlay's timeline strip.
void seekTo(float seconds);

// Once a frame, before the frame step: a loop whose end was reached goes back to
// its start (and says so).
void keepLooping();

// Moves the music to `seconds` (the first sample at or after it) and replays the
// schedule there; returns the music time now heard. Prints nothing.
float seekMusic(float seconds);
// The length of the track in seconds.
float trackSeconds();
