#pragma once

namespace synth {

// Times in seconds, sustain as a level from 0 to 1.
struct AdsrShape {
    float attack;
    float decay;
    float sustain;
    float release;
};

// Attack-decay-sustain-release envelope for one note whose gate length is known when it
// starts (notes come from a score, not from a keyboard). The attack is a linear rise;
// decay and release are exponential, the release reaching -60 dB at its stated time.
class Envelope {
  public:
    Envelope(const AdsrShape& shape, int gateFrames);

    float next();
    // True once the release has run out; the level is 0 from then on.
    bool finished() const { return stage == Stage::Done; }
    float level() const { return level_; }

  private:
    enum class Stage { Attack, Decay, Release, Done };

    AdsrShape shape;
    Stage stage = Stage::Attack;
    float level_ = 0.0f;
    float attackStep;
    float decayCoef;
    float releaseCoef;
    int releaseFrames;
    int gateLeft;
    int releaseLeft = 0;
};

} // namespace synth
