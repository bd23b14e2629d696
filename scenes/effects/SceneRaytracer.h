#pragma once
#include "scenes/effects/TwoBitmapEffect.h"

// Mirror spheres bouncing over a tiled floor, ray-traced in one full-screen pass;
// the floor's tiles change on every beat.
class SceneRaytracer : public TwoBitmapEffect {
  public:
    // Runs init and prints "Scene1 init". A GL context must be current.
    explicit SceneRaytracer(RunContext& run);

    // Every frame on screen: the tiles of the beat on unit 0 ("tex0"), linear
    // filtered, the music time and the window size, one quad; unit 0 stays selected.
    void render(float time, float sceneTime) override;
};
