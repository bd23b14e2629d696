#pragma once

// GL's own report of misuse, through a debug context (KHR_debug). When asked for,
// headless contexts are created with the debug flag and every message GL gives of
// type error or undefined behaviour is counted and printed as an "ERROR: " line;
// other driver messages (performance, portability, notes) are ignored.

// Asks for debug contexts from now on. The environment variable DEMO_GL_DEBUG set
// to anything but "" or "0" asks too, so any program on a headless context can be checked.
void requestGlDebugOutput(bool on);
bool glDebugOutputRequested();

// Installs the message callback on the current context (GLEW must be loaded).
// Returns false, with an "ERROR: " line, when the context offers no debug output.
bool installGlDebugOutput();

// Messages of type error or undefined behaviour since the process started.
int glDebugProblemCount();
