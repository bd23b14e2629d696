#pragma once

// The one GL failure pattern: discard whatever error is pending, issue a group of
// GL calls, then check. A real error in the group is fatal: `message` (a printf
// format after "ERROR: ", with one %s for the GLU text of the code) is reported and
// the fatal handler runs, which by default ends the process with exit(-1) (status
// 255 to the parent).
void discardGlError();
void exitOnGlError(const char* message);

// What a fatal GL error does after its message; tests install one that records
// instead of ending the process. Returns the handler it replaces.
using FatalGlErrorHandler = void (*)(unsigned code);
FatalGlErrorHandler setFatalGlErrorHandler(FatalGlErrorHandler handler);
