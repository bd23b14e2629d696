#pragma once
#include <cstddef>
#include <vector>

namespace synth {

// Stereo room reverb after Schroeder and Moorer: parallel damped comb filters feeding
// series all-passes, with slightly different line lengths per side so that the two
// sides decorrelate into width. A short pre-delay keeps the dry attack clear.
class Reverb {
  public:
    // roomSize 0..1 sets the decay time, damping 0..1 how fast the treble dies.
    Reverb(float roomSize, float damping);

    // Adds the reverberation of the stereo input to left and right.
    void process(const float* inLeft, const float* inRight, float* left, float* right, int frames);

  private:
    struct Comb {
        std::vector<float> line;
        size_t pos = 0;
        float store = 0.0f;
        float process(float in, float feedback, float damping);
    };
    struct Allpass {
        std::vector<float> line;
        size_t pos = 0;
        float process(float in);
    };
    struct Side {
        std::vector<Comb> combs;
        std::vector<Allpass> allpasses;
        float process(float in, float feedback, float damping);
    };

    Side sides[2];
    std::vector<float> preDelay;
    size_t preDelayPos = 0;
    float feedback;
    float damping;
};

} // namespace synth
