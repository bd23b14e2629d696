#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A whole MP3 file decoded to interleaved 16-bit PCM. libmpg123 reads the encoder's
// LAME/Info tag and drops its delay and padding, so sample 0 is the music's first.
struct DecodedAudio {
    std::vector<int16_t> samples; // interleaved, channels per frame
    long rate = 0;
    int channels = 0;

    size_t frames() const { return channels ? samples.size() / channels : 0; }
};

// The fewest MPEG audio frames in a row (each starting where the last ended) that
// make a track, about a quarter second: noise may hold a frame header that looks
// valid, never such a run.
const long kMinTrackFrameRun = 10;

// Returns false with a one-line reason when the file is not a regular file, holds
// no such run of frames, fails to decode part way, or decodes shorter than the
// length its LAME tag gives (cut short): a damaged track is not played at all,
// since its end would end the show early.
bool decodeMp3File(const char* path, DecodedAudio& out, std::string& error);
