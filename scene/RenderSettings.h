#pragma once

// Process-wide choices about how scenes render, set by the shell before the scenes
// are built (for example to capture a quick preview).

// Side of the ray-traced scenes' square render targets for this run; 0 keeps each
// scene's own.
void setRenderWidthOverride(int side);
// The side a scene asking for `requested` uses.
int effectiveRenderWidth(int requested);
