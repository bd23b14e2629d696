#pragma once

// The side of the polygon scenes' square render targets for a frame of
// `width` x `height`: `asked` (--render-width) when given; otherwise, for a frame
// smaller than the full 800-pixel side in both directions, the larger of its
// width and height, never below 96, since a small preview gains nothing from
// tracing more pixels than it shows; otherwise 0, each scene's own side.
int renderSideForFrame(int asked, int width, int height);
