#pragma once
#include "tools/synth/Song.h"

#include <functional>
#include <string>
#include <vector>

namespace synth {

struct RenderOptions {
    int soloTrack = -1;   // >= 0: only this track's notes (its reverb and echo included)
    double endBeat = 0.0; // > 0: stop at this beat instead of the end of the song
    // Called as rendering reaches each section, with the section's start in seconds.
    std::function<void(const Section&, double seconds)> onSection;
};

// Renders `song` to interleaved stereo floats at kSampleRate: voices per track, the
// track's gain, pan and kick ducking, reverb and ping-pong echo sends, then the master
// gain and a peak limiter at kCeilingDb. False with a message when the song's data
// does not sequence.
bool renderSong(const Song& song, const RenderOptions& options, std::vector<float>& out, std::string& error);

// The limiter's ceiling: the loudest sample of a render.
constexpr float kCeilingDb = -1.5f;

} // namespace synth
