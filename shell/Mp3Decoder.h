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

// Returns false with a one-line reason when the file cannot be read or decoded.
bool decodeMp3File(const char* path, DecodedAudio& out, std::string& error);
