#pragma once
#include <cstdarg>

// The one way an error reaches the user: "ERROR: " and the formatted text on
// standard error, flushed at once (the process may end right after). The format
// carries its own line end, so messages with a fixed spelling keep it.
void reportError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void reportErrorV(const char* format, va_list args);
