#pragma once
#include "scenes/effects/TwoBitmapEffect.h"

// A ray-traced display panel over a mirror floor, showing one of two bitmaps with
// crisp pixels; the bitmap changes every 4 beats.
class SceneRaytracedInfo : public TwoBitmapEffect {
  public:
    // Runs init and prints "Scene1 init". A GL context must be current.
    explicit SceneRaytracedInfo(RunContext& run);

    // Every frame on screen: the bitmap of the beat on unit 0 ("tex0") with nearest
    // filtering, the music time and the window size, one quad; unit 0 stays selected.
    void render(float time, float sceneTime) override;
};
