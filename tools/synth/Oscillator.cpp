#include "tools/synth/Oscillator.h"

#include "tools/synth/Dsp.h"

#include <algorithm>

namespace synth {

Oscillator::Oscillator(Waveform waveform, float startPhase) : waveform(waveform), phase_(wrap(startPhase)) {}

void Oscillator::setFrequency(float hz) {
    increment = std::clamp(hz / kSampleRate, 0.0f, 0.49f);
}

void Oscillator::setPulseWidth(float width) {
    pulseWidth = std::clamp(width, 0.05f, 0.95f);
}

} // namespace synth
