#pragma once
#include <string>
#include <vector>

#include "core/MusicTime.h"

// A show read from a TOML file (--show): the music, its beat clock, the timeline
// and the scenes, each with the line it was written on. Plain data; the line-up
// builds scenes from it (ShowLineUp.h).

// One scene: a class of the scene library and its argument as --scene CLASS:ARG
// names them; a polygon scene also takes the values the built-in line-up gives it.
struct ShowScene {
    int slot = 0;
    std::string className;
    std::string argument; // after the colon of --scene; empty when none
    bool argumentGiven = false;
    float dofStrength = 1.0f;
    int renderWidth = 800;
    int renderHeight = 600;
    int numReflections = 4;
    int framesPerBeat = 16;
    int line = 0; // where the scene's table starts

    // Whether both build the same scene (the line aside): live editing keeps such a
    // scene as it is.
    bool sameScene(const ShowScene& other) const;
};

struct ShowEntry {
    float startBeat = 0;
    int slot = 0;
    int line = 0;
};

struct ShowFile {
    std::string path;
    std::string music = "horn.mp3";
    Tempo tempo;
    std::vector<ShowEntry> timeline; // ascending start beats, at least one
    std::vector<ShowScene> scenes;   // each slot once; every timeline slot among them

    const ShowScene* sceneInSlot(int slot) const;
    // The beat where the show ends when there is no music to end it: 64 beats after
    // the last entry starts, as in the built-in show.
    float endBeat() const;
};

// Reads and checks a show file. Files it names (the music, a scene's file) are
// data names relative to the working directory and must exist. On failure returns
// false with `error` as one line without its line end: "FILE:LINE: what is wrong"
// ("FILE: ..." when the file cannot be read at all).
bool readShowFile(const std::string& path, ShowFile* show, std::string* error);
