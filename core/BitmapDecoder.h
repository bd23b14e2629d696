#pragma once
#include <cstddef>
#include <memory>

// A bitmap in the one layout the texture upload takes: 3 bytes per pixel in the
// order blue, green, red, each row padded to a multiple of 4 bytes, bottom row
// first (the picture's bottom row becomes texture row t = 0).
struct DecodedBitmap {
    int width = 0;
    int height = 0;
    size_t rowBytes = 0;
    std::unique_ptr<unsigned char[]> pixels; // rowBytes * height bytes
};

// Widest and tallest bitmap accepted; larger headers are taken as corrupt.
const int kMaxBitmapSide = 16384;

// Decodes a Windows bitmap file held in memory. Uncompressed 24-bit bottom-up
// files are passed through row for row, padding included; top-down, 1-, 4- and
// 8-bit palette, 16- and 32-bit files (bitfields too) are converted. Compressed,
// truncated or inconsistent files return false; nothing outside data[0, size) is
// ever read.
bool decodeBitmap(const unsigned char* data, size_t size, DecodedBitmap* out);

// Reads and decodes the bitmap file at `path` (a path, not a data name).
bool loadBitmapFile(const char* path, DecodedBitmap* out);
