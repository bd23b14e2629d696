#pragma once

// The window size in pixels: 1024 x 768 at start, kept by the shell's reshape
// handler. Scenes read it for their viewports and the "ScreenWidth" and
// "ScreenHeight" uniforms.
extern int screenWidth;
extern int screenHeight;
