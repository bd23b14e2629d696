#pragma once
#include <cstdint>

namespace synth {

// What the score asks of one note.
struct NoteParams {
    float pitch;      // MIDI note number; drums ignore it
    float velocity;   // 0..1: louder, and for most voices brighter
    float brightness; // 0..1 and above: the filter opening an arrangement automates
    int gateFrames;   // how long the note is held before its release
    uint32_t seed;    // noise seed, fixed per note so every render is the same
};

// One sounding note. The renderer calls `render` block after block from the note's
// first sample on, until it returns false.
class Voice {
  public:
    virtual ~Voice() = default;
    // Adds the next `frames` samples to left and right; false once the note is silent
    // for good.
    virtual bool render(float* left, float* right, int frames) = 0;
};

} // namespace synth
