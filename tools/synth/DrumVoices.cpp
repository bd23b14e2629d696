#include "tools/synth/Dsp.h"
#include "tools/synth/Filter.h"
#include "tools/synth/Instruments.h"
#include "tools/synth/Oscillator.h"
#include "tools/synth/Random.h"

#include <algorithm>

// Drums and noise effects. They play for their own length whatever the gate says,
// except the riser, which sweeps over exactly its gate.
namespace synth {

namespace {

// Fade at the end of a timed voice: whatever is left of the decay stops without a click.
constexpr int kEndFadeFrames = 441;

// A voice that lives a fixed number of frames and renders sample by sample.
class TimedVoice : public Voice {
  public:
    explicit TimedVoice(float seconds) : length(secondsToFrames(seconds)) {}

    bool render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames && frame < length; ++i, ++frame) {
            float l = 0.0f, r = 0.0f;
            sample(l, r);
            float fade = std::min(1.0f, (float)(length - frame) / kEndFadeFrames);
            left[i] += l * fade;
            right[i] += r * fade;
        }
        return frame < length;
    }

  protected:
    // Adds the sample at `frame` to both sides.
    virtual void sample(float& left, float& right) = 0;

    int length;
    int frame = 0;
};

// A sine whose pitch drops fast from a click to the fundamental, with a short noise
// transient so the beat starts on its first sample. The body holds briefly, then dies
// well before the next beat so the low end stays clear for the bass.
class KickVoice : public TimedVoice {
  public:
    explicit KickVoice(const NoteParams& note)
        : TimedVoice(0.45f), gain(note.velocity), noise(note.seed), body(Waveform::Sine),
          hold(secondsToFrames(0.05f)), decay(decayCoefficient(0.09f)), drop(decayCoefficient(0.035f)),
          clickDecay(decayCoefficient(0.0015f)), clickFilter(900.0f) {}

  protected:
    void sample(float& left, float& right) override {
        body.setFrequency(48.0f + 130.0f * sweep);
        float x = body.next() * level * 1.6f + clickFilter.highpass(noise.nextBipolar()) * click * 0.5f;
        float y = softClip(x) * gain;
        sweep *= drop;
        if (frame >= hold)
            level *= decay;
        click *= clickDecay;
        left += y;
        right += y;
    }

  private:
    float gain;
    Random noise;
    Oscillator body;
    int hold;
    float decay, drop, clickDecay;
    OnePole clickFilter;
    float level = 1.0f, sweep = 1.0f, click = 1.0f;
};

// Two damped tones for the shell and a band of noise for the wires.
class SnareVoice : public TimedVoice {
  public:
    explicit SnareVoice(const NoteParams& note)
        : TimedVoice(0.45f), gain(note.velocity), noise(note.seed), low(Waveform::Sine), high(Waveform::Sine),
          toneDecay(decayCoefficient(0.05f)), wireDecay(decayCoefficient(0.12f)) {
        low.setFrequency(185.0f);
        high.setFrequency(330.0f);
        wires.setCutoff(4500.0f, 0.5f);
    }

  protected:
    void sample(float& left, float& right) override {
        float shell = (0.55f * low.next() + 0.3f * high.next()) * toneLevel;
        float wire = wires.bandpass(noise.nextBipolar()) * wireLevel * 1.1f;
        float y = softClip(shell + wire) * gain;
        toneLevel *= toneDecay;
        wireLevel *= wireDecay;
        left += y;
        right += y;
    }

  private:
    float gain;
    Random noise;
    Oscillator low, high;
    SvfFilter wires;
    float toneDecay, wireDecay;
    float toneLevel = 1.0f, wireLevel = 1.0f;
};

// Six detuned square waves at inharmonic ratios, the classic drum-machine cymbal
// source, plus noise, through band-pass and high-pass filters.
class Metal {
  public:
    explicit Metal(uint32_t seed) : noise(seed) {
        const float kRatios[6] = {205.3f, 304.4f, 369.6f, 522.7f, 540.0f, 800.0f};
        for (int i = 0; i < 6; ++i) {
            squares[i] = Oscillator(Waveform::Square, 0.13f * i);
            squares[i].setFrequency(kRatios[i] * 1.6f);
        }
        band.setCutoff(10000.0f, 0.9f);
        cut.setCutoff(7000.0f, 0.7f);
    }

    float next(float noiseMix) {
        float sum = 0.0f;
        for (Oscillator& o : squares)
            sum += o.next();
        float x = sum * (1.0f - noiseMix) / 6.0f + noise.nextBipolar() * noiseMix;
        return cut.highpass(band.bandpass(x));
    }

  private:
    Oscillator squares[6];
    Random noise;
    SvfFilter band, cut;
};

class HatVoice : public TimedVoice {
  public:
    HatVoice(const NoteParams& note, bool open)
        : TimedVoice(open ? 1.2f : 0.25f), gain(note.velocity), metal(note.seed),
          decay(decayCoefficient(open ? 0.2f : 0.035f)) {}

  protected:
    void sample(float& left, float& right) override {
        float y = metal.next(0.4f) * level * gain * 1.6f;
        level *= decay;
        left += y;
        right += y;
    }

  private:
    float gain;
    Metal metal;
    float decay;
    float level = 1.0f;
};

// A long cymbal wash, decorrelated between the sides.
class CrashVoice : public TimedVoice {
  public:
    explicit CrashVoice(const NoteParams& note)
        : TimedVoice(3.0f), gain(note.velocity), sides{Metal(note.seed), Metal(note.seed * 2654435761u + 1u)},
          decay(decayCoefficient(0.55f)) {}

  protected:
    void sample(float& left, float& right) override {
        float g = level * gain * 1.4f;
        left += sides[0].next(0.6f) * g;
        right += sides[1].next(0.6f) * g;
        level *= decay;
    }

  private:
    float gain;
    Metal sides[2];
    float decay;
    float level = 1.0f;
};

// Noise swept upwards through a resonant band-pass, growing louder over the gate: the
// tension before a section starts.
class RiserVoice : public TimedVoice {
  public:
    explicit RiserVoice(const NoteParams& note)
        : TimedVoice((float)note.gateFrames / kSampleRate + 0.05f), gain(note.velocity),
          gate(std::max(note.gateFrames, 1)), noise{Random(note.seed), Random(note.seed ^ 0x5bd1e995u)} {}

  protected:
    void sample(float& left, float& right) override {
        float progress = std::min((float)frame / gate, 1.0f);
        if (frame % 32 == 0) {
            float hz = 300.0f * std::pow(30.0f, progress);
            filters[0].setCutoff(hz, 2.5f);
            filters[1].setCutoff(hz * 1.03f, 2.5f);
        }
        float fade = frame < gate ? 1.0f : 1.0f - (float)(frame - gate) / (length - gate);
        float g = progress * progress * fade * gain * 0.6f;
        left += filters[0].bandpass(noise[0].nextBipolar()) * g;
        right += filters[1].bandpass(noise[1].nextBipolar()) * g;
    }

  private:
    float gain;
    int gate;
    Random noise[2];
    SvfFilter filters[2];
};

} // namespace

std::unique_ptr<Voice> makeKickVoice(const NoteParams& note) {
    return std::make_unique<KickVoice>(note);
}
std::unique_ptr<Voice> makeSnareVoice(const NoteParams& note) {
    return std::make_unique<SnareVoice>(note);
}
std::unique_ptr<Voice> makeHatVoice(const NoteParams& note, bool open) {
    return std::make_unique<HatVoice>(note, open);
}
std::unique_ptr<Voice> makeCrashVoice(const NoteParams& note) {
    return std::make_unique<CrashVoice>(note);
}
std::unique_ptr<Voice> makeRiserVoice(const NoteParams& note) {
    return std::make_unique<RiserVoice>(note);
}

} // namespace synth
