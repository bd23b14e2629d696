#pragma once
#include "tools/synth/Instruments.h"

#include <string>
#include <vector>

// A song as data: tracks (an instrument with its place in the mix), patterns in the
// text notation of Notation.h, and an arrangement that places patterns on tracks bar
// by bar. Editing a song means editing these tables; the code stays the same.
namespace synth {

struct Track {
    std::string name;
    Instrument instrument;
    float gainDb;
    float pan;         // -1 left .. +1 right
    float reverbSend;  // 0..1
    float delaySend;   // 0..1
    float duck;        // 0..1: how far the track dips under each kick
    bool mono = false; // one note at a time: a new note cuts the last one short, as a player would
};

enum class Notation { Steps, Notes };

struct Pattern {
    std::string name;
    Notation notation;
    std::string text;
};

// Plays `pattern` on `track` from bar `bar` for `bars` bars, repeating the pattern
// as often as it fits (the last repetition may be cut short).
struct Placement {
    std::string track;
    std::string pattern;
    int bar;
    int bars;
    float gainDb = 0.0f;
    float brightnessFrom = 1.0f; // filter opening, ramped across the placement
    float brightnessTo = 1.0f;
};

struct Section {
    std::string name;
    int bar;
};

struct Song {
    std::string title;
    double beatsPerMinute;
    // Beat count of the first sample: beat b starts (b - beatOffset) beats into the audio.
    double beatOffset;
    int beatsPerBar;
    int lengthBars;
    float masterGainDb;
    std::vector<Track> tracks;
    std::vector<Pattern> patterns;
    std::vector<Placement> arrangement;
    std::vector<Section> sections;
};

// The music of the show.
const Song& hornSong();

} // namespace synth
