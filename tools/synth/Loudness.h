#pragma once
#include <vector>

namespace synth {

// Integrated loudness of interleaved stereo at the synthesizer's rate, in LUFS, as
// ITU-R BS.1770 defines it: K-weighting, 400 ms blocks overlapping by 75 %, an
// absolute gate at -70 LUFS and a relative gate 10 LU below the ungated level.
// Returns -70 or less for silence.
float integratedLoudness(const std::vector<float>& interleaved);

// Largest absolute sample value.
float samplePeak(const std::vector<float>& interleaved);

} // namespace synth
