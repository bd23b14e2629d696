#pragma once

namespace synth {

// Outputs of the state-variable filter for one input sample.
struct FilterOutputs {
    float low;
    float band;
    float high;
};

// Two-pole state-variable filter in trapezoidal (zero-delay feedback) form: stable for
// any cutoff up to near Nyquist and for cutoffs that move every few samples.
class SvfFilter {
  public:
    SvfFilter() { setCutoff(1000.0f, 0.707f); }

    // Cutoff in Hz (clamped to 10 Hz .. 0.45 x sample rate); q 0.5 is gentle, 5 rings.
    void setCutoff(float hz, float q);
    // Inline: this is the inner loop of most voices.
    FilterOutputs process(float x) {
        float v3 = x - ic2;
        float v1 = a1 * ic1 + a2 * v3;
        float v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0f * v1 - ic1;
        ic2 = 2.0f * v2 - ic2;
        return {v2, v1, x - k * v1 - v2};
    }
    float lowpass(float x) { return process(x).low; }
    float highpass(float x) { return process(x).high; }
    float bandpass(float x) { return process(x).band; }

  private:
    float k = 1.414f, a1 = 0.0f, a2 = 0.0f, a3 = 0.0f;
    float ic1 = 0.0f, ic2 = 0.0f;
};

// One-pole low-pass with its complementary high-pass: tone shaping and DC removal.
class OnePole {
  public:
    explicit OnePole(float cutoffHz = 1000.0f) { setCutoff(cutoffHz); }
    void setCutoff(float hz);
    float lowpass(float x) { return state += coef * (x - state); }
    float highpass(float x) { return x - lowpass(x); }

  private:
    float coef = 0.0f;
    float state = 0.0f;
};

} // namespace synth
