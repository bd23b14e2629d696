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

// Saw plus a sine at the same pitch for weight, through a low-pass that snaps open at
// each note: a short, punchy bass that leaves room for the kick.
class BassVoice : public Voice {
public:
    explicit BassVoice(const NoteParams& note)
        : note(note), hz(midiToHz(note.pitch)), saw(Waveform::Saw), sine(Waveform::Sine),
          amp({0.003f, 0.2f, 0.75f, 0.04f}, note.gateFrames), sweep({0.002f, 0.15f, 0.15f, 0.05f}, note.gateFrames) {
        saw.setFrequency(hz);
        sine.setFrequency(hz);
    }

    bool render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i) {
            if (frame++ % kControlFrames == 0)
                filter.setCutoff(hz * (1.5f + 14.0f * sweep.level() * note.velocity * note.brightness), 1.2f);
            float a = amp.next();
            sweep.next();
            float y = softClip(1.5f * (0.6f * filter.lowpass(saw.next()) + 0.5f * sine.next())) * a;
            left[i] += y;
            right[i] += y;
            if (amp.finished()) return false;
        }
        return true;
    }

private:
    NoteParams note;
    float hz;
    Oscillator saw, sine;
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
            if (amp.finished()) return false;
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

// Square and saw with a fast-closing filter: a plucked, percussive tone for arpeggios.
class PluckVoice : public Voice {
public:
    explicit PluckVoice(const NoteParams& note)
        : note(note), hz(midiToHz(note.pitch)), square(Waveform::Square), saw(Waveform::Saw, 0.5f),
          amp({0.002f, 0.3f, 0.3f, 0.08f}, note.gateFrames), sweep({0.001f, 0.18f, 0.0f, 0.05f}, note.gateFrames) {
        square.setFrequency(hz);
        saw.setFrequency(hz * centsToRatio(7.0f));
    }

    bool render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i) {
            if (frame++ % kControlFrames == 0)
                filter.setCutoff(hz * (1.0f + 14.0f * sweep.level() * note.velocity * note.brightness), 1.5f);
            float a = amp.next();
            sweep.next();
            float y = filter.lowpass(0.5f * square.next() + 0.4f * saw.next()) * a * note.velocity;
            left[i] += y;
            right[i] += y;
            if (amp.finished()) return false;
        }
        return true;
    }

private:
    NoteParams note;
    float hz;
    Oscillator square, saw;
    Envelope amp, sweep;
    SvfFilter filter;
    int frame = 0;
};

} // namespace

std::unique_ptr<Voice> makeBassVoice(const NoteParams& note) { return std::make_unique<BassVoice>(note); }
std::unique_ptr<Voice> makePadVoice(const NoteParams& note) { return std::make_unique<PadVoice>(note); }
std::unique_ptr<Voice> makePluckVoice(const NoteParams& note) { return std::make_unique<PluckVoice>(note); }

} // namespace synth
