#pragma once

// The show's schedule ends 64 beats after its last scene starts; a show without
// music runs this long.
constexpr float kLastSceneBeat = 304.0f;
constexpr float kShowEndBeat = kLastSceneBeat + 64.0f;

// Fills the timeline and constructs the show's scenes into the scene table. Needs
// a current GL context (scene constructors load their files).
void createScenes();
