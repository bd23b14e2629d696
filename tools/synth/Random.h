#pragma once
#include <cstdint>

namespace synth {

// Seeded xorshift generator: noise sources take a fixed seed so that every render
// produces the same bytes.
class Random {
  public:
    explicit Random(uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}

    uint32_t nextU32() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // Uniform in [-1, 1).
    float nextBipolar() { return (float)(nextU32() >> 8) * (2.0f / 16777216.0f) - 1.0f; }
    // Uniform in [0, 1).
    float nextUnit() { return (float)(nextU32() >> 8) * (1.0f / 16777216.0f); }

  private:
    uint32_t state;
};

} // namespace synth
