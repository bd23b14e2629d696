#pragma once
#include <cstddef>

// Reads a whole regular file into a buffer from `allocate` (size + 1 bytes), NUL
// after the bytes read, their count in *length. Returns nullptr, leaving *length
// alone, for anything but a readable regular file of at most `maxBytes` bytes:
// directories, pipes and devices have no size to trust, and opening them must not
// block. Prints nothing; the callers word their own messages.
char* readWholeFile(const char* path, size_t maxBytes, size_t* length, void* (*allocate)(size_t));

// Allocators for readWholeFile: one whose buffer is released with delete[] (malloc
// serves those released with free). Both return nullptr when memory runs out.
void* allocateCharArray(size_t bytes);
