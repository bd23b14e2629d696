#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace synth {

// Float samples to 16-bit by rounding, clamped to the 16-bit range.
std::vector<int16_t> toPcm16(const std::vector<float>& samples);

// A canonical 44-byte-header PCM WAV file image: 16-bit, interleaved stereo.
std::string wavImage(const std::vector<int16_t>& interleaved, int rate);
bool writeWavFile(const std::string& path, const std::vector<int16_t>& interleaved, int rate,
                  std::string& error);

// Encodes with the `lame` program (constant `kbps`, stereo) by piping the WAV image to
// it. lame's Info tag stays in the file: it records the encoder delay and padding that
// a decoder must drop to keep sample 0 at the music's first sample.
bool encodeMp3File(const std::string& path, const std::vector<int16_t>& interleaved, int rate, int kbps,
                   const std::string& lame, std::string& error);

} // namespace synth
