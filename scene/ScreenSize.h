#pragma once

// The window size in pixels, as the last reshape set it. Scenes read it for their
// viewports and the "ScreenWidth"/"ScreenHeight" uniforms; only the shell writes it.
extern int screenWidth;
extern int screenHeight;
