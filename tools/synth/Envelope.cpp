#include "tools/synth/Envelope.h"

#include "tools/synth/Dsp.h"

#include <algorithm>

namespace synth {

namespace {
// -60 dB, where a release counts as over.
constexpr float kReleaseFloor = 0.001f;
} // namespace

Envelope::Envelope(const AdsrShape& shape, int gateFrames) : shape(shape), gateLeft(std::max(gateFrames, 0)) {
    int attackFrames = std::max(secondsToFrames(shape.attack), 1);
    attackStep = 1.0f / attackFrames;
    // A quarter of the decay time per 1/e step: the decay is complete at its stated time.
    decayCoef = decayCoefficient(std::max(shape.decay, 0.001f) * 0.25f);
    releaseFrames = std::max(secondsToFrames(shape.release), 1);
    releaseCoef = std::pow(kReleaseFloor, 1.0f / releaseFrames);
    if (gateLeft == 0) {
        stage = Stage::Done;
    }
}

float Envelope::next() {
    if (stage != Stage::Done && stage != Stage::Release && gateLeft-- <= 0) {
        stage = Stage::Release;
        releaseLeft = releaseFrames;
    }
    switch (stage) {
    case Stage::Attack:
        level_ += attackStep;
        if (level_ >= 1.0f) {
            level_ = 1.0f;
            stage = Stage::Decay;
        }
        break;
    case Stage::Decay:
        level_ = shape.sustain + (level_ - shape.sustain) * decayCoef;
        break;
    case Stage::Release:
        level_ *= releaseCoef;
        if (--releaseLeft <= 0) {
            level_ = 0.0f;
            stage = Stage::Done;
        }
        break;
    case Stage::Done:
        level_ = 0.0f;
        break;
    }
    return level_;
}

} // namespace synth
