#pragma once
#include "shell/CommandLine.h"

class Windowing;

// The show's music, in the working directory.
constexpr const char* kMusicFile = "horn.mp3";

// Toolkit, window or game mode, GL state, callbacks.
void initWindow(Windowing& toolkit, int* argc, char** argv, const Options& options);
// The whole start-up: window, GL entry points, audio, line-up, shared buffers,
// playback, first activation. Returns with the first scene active.
void initDemo(int* argc, char** argv, const Options& options);

// The steps start-up shares with the headless driver, which runs them on its own
// context and clock.
// GL state the scenes rely on from the start.
void setInitialGlState();
void printGlVersion();
// Opens the audio device and loads the show's music (musicFile) into `music` through `audio`,
// printing the outcome; failures only print.
void openMusic();
// The line-up (the show file's, or the one scene of --scene), the shared vertex buffer and the
// clear colour.
void buildShow(const Options& options);
// Starts the music where the timeline's first entry starts (the beginning, but for
// a scene of the show previewed alone) and activates the scene on screen.
void startShow();
// --from in the window: moves the started music to `seconds` (not before a
// previewed scene's own start) with the schedule replayed to there. A time not
// before the end of the track ends the process with status 2.
void startFrom(float seconds);
