#include "core/ErrorReport.h"

#include <cstdio>

void reportErrorV(const char* format, va_list args) {
    fputs("ERROR: ", stderr);
    vfprintf(stderr, format, args);
    fflush(stderr);
}

void reportError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    reportErrorV(format, args);
    va_end(args);
}
