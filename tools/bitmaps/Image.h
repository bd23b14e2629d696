#pragma once
#include <string>
#include <vector>

namespace bitmaps {

struct Rgb {
    float r, g, b;
};

Rgb mix(Rgb a, Rgb b, float t);
Rgb scale(Rgb c, float k);
Rgb add(Rgb a, Rgb b);

// A picture being made: linear 0..1 colours, top row first. Writing it out
// clamps and rounds each channel to a byte.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    Image(int width, int height, Rgb fill = {0, 0, 0});
    Rgb& at(int x, int y) { return pixels[(size_t)y * width + x]; }
    const Rgb& at(int x, int y) const { return pixels[(size_t)y * width + x]; }
    // Covers the pixel with `colour` by `coverage` (0..1); outside the picture nothing happens.
    void blend(int x, int y, Rgb colour, float coverage);
};

// The whole file: an uncompressed 24-bit Windows bitmap, bottom row first,
// blue-green-red, rows padded with zeros to 4 bytes.
std::string bmpBytes(const Image& image);

// Writes bmpBytes to `path`; false (with an "ERROR: " line) when it cannot.
bool writeBmp(const std::string& path, const Image& image);

} // namespace bitmaps
