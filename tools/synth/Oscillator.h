#pragma once
#include <cmath>

namespace synth {

enum class Waveform { Sine, Saw, Square, Triangle };

// A phase-accumulating oscillator. Saw and square are band-limited with polyBLEP
// corrections so that high notes do not fold back as audible aliases.
class Oscillator {
  public:
    explicit Oscillator(Waveform waveform = Waveform::Saw, float startPhase = 0.0f);

    // Frequency in Hz; may change every sample (vibrato, pitch sweeps).
    void setFrequency(float hz);
    // Duty cycle of the square wave, 0.05 to 0.95.
    void setPulseWidth(float width);
    // Inline: called for every sample of every voice.
    float next() {
        float t = phase_;
        float out = 0.0f;
        switch (waveform) {
        case Waveform::Sine:
            out = std::sin(6.2831853f * t);
            break;
        case Waveform::Saw:
            out = 2.0f * t - 1.0f - polyBlep(t, increment);
            break;
        case Waveform::Square:
            out = (t < pulseWidth ? 1.0f : -1.0f) + polyBlep(t, increment) -
                  polyBlep(wrap(t + 1.0f - pulseWidth), increment);
            break;
        case Waveform::Triangle:
            out = t < 0.5f ? 4.0f * t - 1.0f : 3.0f - 4.0f * t;
            break;
        }
        phase_ += increment;
        if (phase_ >= 1.0f)
            phase_ -= 1.0f;
        return out;
    }
    float phase() const { return phase_; }

  private:
    // Polynomial correction of a unit step at phase 0, spread over one sample each side.
    static float polyBlep(float t, float dt) {
        if (t < dt) {
            t /= dt;
            return t + t - t * t - 1.0f;
        }
        if (t > 1.0f - dt) {
            t = (t - 1.0f) / dt;
            return t * t + t + t + 1.0f;
        }
        return 0.0f;
    }
    static float wrap(float phase) { return phase - (float)(int)phase; }

    Waveform waveform;
    float phase_;
    float increment = 0.0f;
    float pulseWidth = 0.5f;
};

} // namespace synth
