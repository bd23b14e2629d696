#pragma once
#include "core/BitmapDecoder.h"

#include <cstddef>

// Largest picture, in pixels, taken from a compressed format: a few bytes of PNG or
// JPEG can claim any size, and decoding allocates for the size claimed.
const long long kMaxImagePixels = 8192LL * 8192;

// Decodes an image file held in memory into the layout the texture upload takes.
// Windows bitmaps go through decodeBitmap, so their rows arrive exactly as stored;
// JPEG, PNG, TGA and the other formats stb_image reads are converted: grey and
// palette widened, alpha dropped, bottom row first. Broken files, sides over
// kMaxBitmapSide and pictures over maxPixels return false; nothing outside
// data[0, size) is read.
bool decodeImage(const unsigned char* data, size_t size, DecodedBitmap* out,
                 long long maxPixels = kMaxImagePixels);

// Reads and decodes the image file at `path` (a path, not a data name).
bool loadImageFile(const char* path, DecodedBitmap* out);
