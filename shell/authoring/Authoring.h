#pragma once
#include "shell/authoring/OverlayFacts.h"

struct Options;

// --edit (which --watch and --overlay imply in the window): the transport keys,
// the overlay and its timeline strip. Off, the show keeps its keys, output and
// timing exactly.

// After the show has started in the window: registers the arrow, page and mouse
// callbacks and creates the overlay. Needs the window's GL context.
void startAuthoring();
bool authoringOn();
// The authoring keys among the ordinary ones (Tab, p, l): true when `key` was one
// and has been handled. False for every key while authoring is off.
bool authoringKey(unsigned char key);
// The arrow and page keys (freeglut's special key codes).
void authoringSpecialKey(int key);
// In display: before the frame step (a loop going round) and after it, before
// the swap (the overlay).
void authoringBeforeFrame();
void authoringAfterFrame();
// Releases the overlay's GL objects while the context still exists.
void stopAuthoring();

// The overlay's facts from the shell's state now; `fps` as measured (or a
// capture's rate).
OverlayFacts gatherOverlayFacts(float fps);
