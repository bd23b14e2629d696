#include "tools/synth/Dsp.h"
#include "tools/synth/Envelope.h"
#include "tools/synth/Filter.h"
#include "tools/synth/Instruments.h"
#include "tools/synth/Oscillator.h"
#include "tools/synth/Random.h"

#include <algorithm>

// The pitched accompaniment: bass, pad and pluck.
namespace synth {

namespace {

constexpr int kControlFrames = 32;

// Two oscillators and a low-pass that snaps open at each note and closes again: the
// recipe of both the bass and the pluck.
struct TwoOscRecipe {
    Waveform first, second;
    float secondPhase, secondCents;
    float firstLevel, secondLevel;
    bool secondFiltered; // false: the second oscillator bypasses the filter, for weight
    AdsrShape amp, sweep;
    float cutoffBase, cutoffSweep; // cutoff in multiples of the note's frequency
    float q;
    float drive; // > 0: soft saturation of the result
    bool velocityScalesLevel;
};

// Saw plus a sine for weight, a filter that snaps open: punchy, and leaves room for the kick.
const TwoOscRecipe kBass = {Waveform::Saw,
                            Waveform::Sine,
                            0.0f,
                            0.0f,
                            0.6f,
                            0.5f,
                            false,
                            {0.003f, 0.2f, 0.75f, 0.04f},
                            {0.002f, 0.15f, 0.15f, 0.05f},
                            1.5f,
                            14.0f,
                            1.2f,
                            1.5f,
                            false};
// Square and a slightly sharp saw with a fast-closing filter: a plucked tone for arpeggios.
const TwoOscRecipe kPluck = {Waveform::Square,
                             Waveform::Saw,
                             0.5f,
                             7.0f,
                             0.5f,
                             0.4f,
                             true,
                             {0.002f, 0.3f, 0.3f, 0.08f},
                             {0.001f, 0.18f, 0.0f, 0.05f},
                             1.0f,
                             14.0f,
                             1.5f,
                             0.0f,
                             true};

class TwoOscVoice : public Voice {
  public:
    TwoOscVoice(const TwoOscRecipe& recipe, const NoteParams& note)
        : recipe(recipe), note(note), hz(midiToHz(note.pitch)), first(recipe.first),
          second(recipe.second, recipe.secondPhase), amp(recipe.amp, note.gateFrames),
          sweep(recipe.sweep, note.gateFrames) {
        first.setFrequency(hz);
        second.setFrequency(hz * centsToRatio(recipe.secondCents));
    }

    bool render(float* left, float* right, int frames) override {
        const TwoOscRecipe& r = recipe;
        for (int i = 0; i < frames; ++i) {
            if (frame++ % kControlFrames == 0) {
                float opening = r.cutoffSweep * sweep.level() * note.velocity * note.brightness;
                filter.setCutoff(hz * (r.cutoffBase + opening), r.q);
            }
            float a = amp.next();
            sweep.next();
            float one = r.firstLevel * first.next(), two = r.secondLevel * second.next();
            float y = r.secondFiltered ? filter.lowpass(one + two) : filter.lowpass(one) + two;
            if (r.drive > 0.0f)
                y = softClip(r.drive * y);
            y *= r.velocityScalesLevel ? a * note.velocity : a;
            left[i] += y;
            right[i] += y;
            if (amp.finished())
                return false;
        }
        return true;
    }

  private:
    const TwoOscRecipe& recipe;
    NoteParams note;
    float hz;
    Oscillator first, second;
    Envelope amp, sweep;
    SvfFilter filter;
    int frame = 0;
};

// Three detuned saws spread across the stereo field, through a slowly breathing
// low-pass; slow attack and release so chords swell and overlap.
class PadVoice : public Voice {
  public:
    explicit PadVoice(const NoteParams& note)
        : note(note), amp({0.5f, 1.0f, 0.85f, 1.0f}, note.gateFrames), random(note.seed) {
        float hz = midiToHz(note.pitch);
        const float kDetune[3] = {-14.0f, 0.0f, 14.0f};
        for (int i = 0; i < 3; ++i) {
            saws[i] = Oscillator(Waveform::Saw, random.nextUnit());
            saws[i].setFrequency(hz * centsToRatio(kDetune[i]));
        }
        lfoPhase = random.nextUnit();
    }

    bool render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i) {
            if (frame++ % kControlFrames == 0) {
                float breathe = 0.8f + 0.2f * std::sin(kTwoPi * lfoPhase);
                lfoPhase += 0.2f * kControlFrames / kSampleRate;
                float cutoff = 350.0f + 3200.0f * note.brightness * breathe;
                filters[0].setCutoff(cutoff, 0.7f);
                filters[1].setCutoff(cutoff * 1.07f, 0.7f);
            }
            float a = amp.next() * (0.5f + 0.5f * note.velocity);
            float s0 = saws[0].next(), s1 = saws[1].next(), s2 = saws[2].next();
            left[i] += filters[0].lowpass(0.5f * s0 + 0.35f * s1 + 0.15f * s2) * a;
            right[i] += filters[1].lowpass(0.15f * s0 + 0.35f * s1 + 0.5f * s2) * a;
            if (amp.finished())
                return false;
        }
        return true;
    }

  private:
    NoteParams note;
    Oscillator saws[3];
    SvfFilter filters[2];
    Envelope amp;
    Random random;
    float lfoPhase;
    int frame = 0;
};

} // namespace

std::unique_ptr<Voice> makeBassVoice(const NoteParams& note) {
    return std::make_unique<TwoOscVoice>(kBass, note);
}
std::unique_ptr<Voice> makePadVoice(const NoteParams& note) {
    return std::make_unique<PadVoice>(note);
}
std::unique_ptr<Voice> makePluckVoice(const NoteParams& note) {
    return std::make_unique<TwoOscVoice>(kPluck, note);
}

} // namespace synth
