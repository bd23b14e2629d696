#pragma once
#include "scenes/effects/TwoBitmapEffect.h"

// Molten lava crawling under a crust of dirt: one full-screen pass over two bitmaps.
class Scene1 : public TwoBitmapEffect {
  public:
    // Runs init and prints "Scene1 init". A GL context must be current.
    explicit Scene1(RunContext& run);

    // Every frame on screen: lava on unit 0 ("tex0"), dirt on unit 1 ("tex1"), the
    // music time and the window size, one quad; unit 1 stays selected.
    void render(float time, float sceneTime) override;
};
