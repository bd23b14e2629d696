#pragma once

// Picks the side the polygon scenes trace at in the window, so that a slow
// renderer holds a frame rate instead of showing a slide show. The cost of a frame
// grows with the traced area, so the side moves by the square root of how far the
// measured frame time is from the target. A band around the target and a pause
// after each change keep the side from flickering between two values.
class AdaptiveResolution {
  public:
    static constexpr int kMinSide = 96;
    static constexpr int kStep = 8; // sides move in whole steps

    // `maxSide`: the render targets' side, never exceeded. Starts at a quarter of
    // it (at least kMinSide): a first frame at full size can take seconds.
    AdaptiveResolution(double targetFps, int maxSide);

    // Feeds the duration of the frame just shown; returns the side for the next one.
    int update(double frameSeconds);
    int side() const { return current; }

  private:
    double target;   // seconds per frame
    double smoothed; // recent frame times, exponentially weighted; 0 before the first
    int maxSide;
    int current;
    int settle = 0; // frames to wait before the next change
};
