#pragma once
#include <cmath>
#include <cstdint>

// Small shared pieces of the synthesizer: the output rate and unit conversions.
namespace synth {

constexpr int kSampleRate = 44100;
constexpr float kPi = 3.14159265358979f;
constexpr float kTwoPi = 2.0f * kPi;

// MIDI note number (69 = A4 = 440 Hz) to frequency.
inline float midiToHz(float note) {
    return 440.0f * std::exp2((note - 69.0f) / 12.0f);
}
inline float centsToRatio(float cents) {
    return std::exp2(cents / 1200.0f);
}
inline float dbToGain(float db) {
    return std::pow(10.0f, db / 20.0f);
}
inline float gainToDb(float gain) {
    return gain > 0.0f ? 20.0f * std::log10(gain) : -200.0f;
}
inline int secondsToFrames(float seconds) {
    return (int)std::lround(seconds * kSampleRate);
}
// Per-sample multiplier that makes a value decay by 1/e over `seconds`.
inline float decayCoefficient(float seconds) {
    return std::exp(-1.0f / (seconds * kSampleRate));
}

// Cheap soft clipper: near-linear for small inputs, limits smoothly to about ±1.
inline float softClip(float x) {
    if (x > 3.0f)
        return 1.0f;
    if (x < -3.0f)
        return -1.0f;
    return x * (27.0f + x * x) / (27.0f + 9.0f * x * x);
}

// Constant-power gains for a position from -1 (left) to +1 (right).
struct PanGains {
    float left;
    float right;
};
inline PanGains panGains(float pan) {
    float angle = (pan + 1.0f) * 0.25f * kPi;
    return {std::cos(angle), std::sin(angle)};
}

} // namespace synth
