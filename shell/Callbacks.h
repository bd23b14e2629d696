#pragma once

// The freeglut callbacks of the running show. All run on the main thread inside
// the main loop, one at a time.
void display();
void reshape(int width, int height);
void idle();
void fpsTimer(int value);
void onClose();
void keyboard(unsigned char key, int x, int y);

// Aspect ratio of the projection; a minimised window (height 0) gets 1.
double reshapeAspect(int width, int height);
// What the end of the track does before the process exits with status 0: the
// display mode is restored and the audio device released.
void shutDownShow();
// What every frame starts with before the frame step: colour and depth cleared,
// glLoadIdentity on the current matrix. Shared by the window and the capture.
void clearFrame();
