#pragma once
#include "scenes/effects/TwoBitmapEffect.h"

// A flight down a tunnel lined with dirt and veined with lava. The tunnel type picks
// the shape: 0 round, 1 square, anything else a ray-marched tunnel with relief walls.
class SceneGLSLTunnel : public TwoBitmapEffect {
  public:
    // Stores the type, runs init (the type's shader pair, the dirt and lava bitmaps)
    // and prints "Scene1 init". A GL context must be current.
    explicit SceneGLSLTunnel(RunContext& run, int tunnelType = 0);

    // Every frame on screen: lava on unit 0 ("tex0"), dirt on unit 1 ("tex1"), the
    // music time and the window size, one quad; unit 1 stays selected.
    void render(float time, float sceneTime) override;
};
