#pragma once

// The one GL failure pattern: discard whatever error is pending, issue a group of
// GL calls, then check. A real error in the group is fatal: `message` (a printf
// format after "ERROR: ", with one %s for the GLU text of the code) is reported and
// the process ends with exit(-1) (status 255 to the parent; tests watch it in a
// death test).
void discardGlError();
void exitOnGlError(const char* message);
