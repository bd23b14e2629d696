#pragma once
#include <vector>

namespace synth {

// Offline look-ahead peak limiter for interleaved stereo. The gain starts to fall
// `lookaheadSeconds` before a peak that would pass the ceiling, reaches the needed
// reduction at the peak, and recovers over `releaseSeconds`. Both sides share one gain,
// so the stereo image does not shift. No sample leaves above the ceiling.
void limitPeaks(std::vector<float>& interleaved, float ceiling, float lookaheadSeconds, float releaseSeconds);

} // namespace synth
