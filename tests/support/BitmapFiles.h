#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Windows bitmap files built in memory for tests, so malformed ones are as easy to
// make as good ones.
struct BitmapFields {
    int32_t width = 0;
    int32_t height = 0; // negative: top-down
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    // Declared size of the info header. Only 40 bytes are written; `extra` follows
    // them and stands for the rest of a longer header, masks or a palette.
    uint32_t headerBytes = 40;
    std::string extra;
    std::string pixels; // rows exactly as they go into the file
};
std::string bitmapFile(const BitmapFields& fields);

// Little-endian bytes of a 16- or 32-bit value.
std::string le16(uint32_t v);
std::string le32(uint32_t v);

// 24-bit rows in file order, each padded to 4 bytes with `pad`; colour(x, row)
// gives the blue, green and red bytes of a pixel.
std::string bgrRows(int width, int height, const std::function<std::string(int, int)>& colour, char pad = 0);
// The BGR bytes of a test pattern that differ per pixel and channel.
std::string patternPixel(int x, int row);
// A bottom-up 24-bit file of the test pattern.
std::string patternBitmap(int width, int height);
