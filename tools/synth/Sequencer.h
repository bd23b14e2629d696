#pragma once
#include "tools/synth/Song.h"

#include <cstdint>
#include <string>
#include <vector>

namespace synth {

// One note of the arrangement, placed in samples.
struct NoteEvent {
    int track;
    int64_t start; // frame of the first sample; negative for notes that begin before the audio
    NoteParams note;
    float gain; // linear, from the placement
};

// The frame at which `beat` starts, rounded to the nearest sample.
int64_t beatToFrame(const Song& song, double beat);
// Frames from the first sample to the end of the last bar.
int64_t songFrames(const Song& song);

// Expands the arrangement into notes sorted by start (ties keep arrangement order).
// False with a message for an unknown track or pattern, a pattern that does not
// parse, or a placement outside the song.
bool sequenceSong(const Song& song, std::vector<NoteEvent>& events, std::string& error);

} // namespace synth
