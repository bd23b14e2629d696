#pragma once

// The run's choices about how scenes render, set by the shell before it builds the
// scenes (for example to capture a quick preview) and passed to their constructors.

// Side of the polygon scenes' square render targets for this run; 0 keeps the
// line-up's own.
void setRenderWidthOverride(int side);
// The side a scene asking for `requested` uses.
int effectiveRenderWidth(int requested);
