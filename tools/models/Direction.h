#pragma once
#include "core/MusicTime.h"
#include "tools/models/Mesh.h"

#include <vector>

// Timing of a scene's animation against the music, and the easing of its moves.
namespace models {

// The show picks animation frame trunc(framesPerBeat * (sceneBeat + kAnimationBeatOffset))
// (core/AnimationFrame.h), where sceneBeat counts the music's beats since the scene came on.
struct Beats {
    int framesPerBeat;
    // The scene beat whose music plays while `frame` is on screen.
    float beatAt(int frame) const { return float(frame) / framesPerBeat - kOffset; }
    // Frames needed so that nothing wraps while the scene is on screen for `beats`.
    int framesFor(int beats) const { return int(framesPerBeat * (beats + kOffset)) + 2; }

  private:
    static constexpr float kOffset = float(kAnimationBeatOffset);
};

// 0 before a, 1 after b, smooth (zero speed at both ends) in between.
float easeBetween(float beat, float a, float b);
// 0 .. 1 over a beat, falling from 1 at the beat: an accent on every beat.
float pulse(float beat, float sharpness = 6.0f);
// Height of a bounce that lands on every beat: 0 on the beat, 1 between.
float bounce(float beat);

// A path through waypoints at given beats; between two waypoints the value eases
// from one to the next, so moves start and stop on the waypoints' beats.
class Path {
  public:
    Path& at(float beat, Vec3 value);
    Vec3 operator()(float beat) const;

  private:
    std::vector<std::pair<float, Vec3>> points;
};

} // namespace models
