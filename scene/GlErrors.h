#pragma once

// The one GL failure pattern: discard whatever error is pending, issue a group of
// GL calls, then check. A real error in the group prints `format` (a printf format
// with one %s, filled with the GLU text of the code) on standard error and ends the
// process with exit(-1), which the parent sees as status 255.
void discardGlError();
void exitOnGlError(const char* format);
