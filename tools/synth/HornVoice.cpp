#include "tools/synth/Dsp.h"
#include "tools/synth/Envelope.h"
#include "tools/synth/Filter.h"
#include "tools/synth/Instruments.h"
#include "tools/synth/Oscillator.h"
#include "tools/synth/Random.h"

#include <algorithm>

namespace synth {

namespace {

// Pitch and filter move at this many samples per step; fast enough for vibrato and
// the lip attack, and it keeps tan() out of the sample loop.
constexpr int kControlFrames = 16;

const AdsrShape kAmpShape = {0.035f, 0.3f, 0.8f, 0.2f};
// The filter opens a little after the tone starts: the brass "blat" that brightens
// and then settles.
const AdsrShape kFilterShape = {0.07f, 0.5f, 0.45f, 0.25f};

constexpr float kScoopCents = -45.0f; // lips start flat and settle onto the note
constexpr float kScoopSeconds = 0.03f;
constexpr float kVibratoHz = 5.2f;
constexpr float kVibratoCents = 13.0f;
constexpr float kVibratoDelay = 0.2f; // held notes only: vibrato fades in after this
constexpr float kVibratoFadeIn = 0.4f;
constexpr float kDetuneCents = 5.0f;

// A brass voice: two slightly detuned saws and a narrow pulse through a low-pass whose
// envelope, scaled by velocity, gives the attack its bite; a breath of noise at the
// start, delayed vibrato and gentle saturation.
class HornVoice : public Voice {
  public:
    explicit HornVoice(const NoteParams& note)
        : note(note), hz(midiToHz(note.pitch)), sawUp(Waveform::Saw, 0.0f), sawDown(Waveform::Saw, 0.37f),
          pulse(Waveform::Square, 0.71f), amp(kAmpShape, note.gateFrames),
          filterEnvelope(kFilterShape, note.gateFrames), noise(note.seed) {
        pulse.setPulseWidth(0.3f);
        breathFilter.setCutoff(std::min(hz * 6.0f, 6000.0f), 1.5f);
    }

    bool render(float* left, float* right, int frames) override {
        for (int i = 0; i < frames; ++i) {
            if (frame % kControlFrames == 0)
                control();
            float a = amp.next();
            filterEnvelope.next();
            float breath = breathFilter.bandpass(noise.nextBipolar()) * breathLevel;
            float tone = 0.5f * sawUp.next() + 0.5f * sawDown.next() + 0.3f * pulse.next();
            float y = softClip(1.4f * filter.lowpass(tone + breath)) * 0.7f;
            float out = y * a * (0.4f + 0.6f * note.velocity) * tremolo;
            left[i] += out;
            right[i] += out;
            ++frame;
            if (amp.finished())
                return false;
        }
        return true;
    }

  private:
    void control() {
        float seconds = (float)frame / kSampleRate;
        float depth = kVibratoCents * std::clamp((seconds - kVibratoDelay) / kVibratoFadeIn, 0.0f, 1.0f);
        float wobble = std::sin(kTwoPi * kVibratoHz * seconds);
        float now = hz * centsToRatio(kScoopCents * std::exp(-seconds / kScoopSeconds) + depth * wobble);
        sawUp.setFrequency(now * centsToRatio(kDetuneCents));
        sawDown.setFrequency(now * centsToRatio(-kDetuneCents));
        pulse.setFrequency(now);
        tremolo = 1.0f + 0.004f * depth * wobble;
        breathLevel = 0.02f + 0.2f * std::exp(-seconds / 0.05f);
        float opening = 1.5f + 9.0f * note.velocity * note.brightness;
        filter.setCutoff(now * (1.0f + opening * filterEnvelope.level()) + 150.0f, 0.8f);
    }

    NoteParams note;
    float hz;
    Oscillator sawUp, sawDown, pulse;
    Envelope amp, filterEnvelope;
    SvfFilter filter, breathFilter;
    Random noise;
    float tremolo = 1.0f;
    float breathLevel = 0.0f;
    int frame = 0;
};

} // namespace

std::unique_ptr<Voice> makeHornVoice(const NoteParams& note) {
    return std::make_unique<HornVoice>(note);
}

} // namespace synth
