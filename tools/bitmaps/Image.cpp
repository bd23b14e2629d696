#include "tools/bitmaps/Image.h"

#include "core/ErrorReport.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace bitmaps {

Rgb mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(Rgb c, float k) {
    return {c.r * k, c.g * k, c.b * k};
}

Rgb add(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

Image::Image(int width, int height, Rgb fill)
    : width(width), height(height), pixels((size_t)width * height, fill) {}

void Image::blend(int x, int y, Rgb colour, float coverage) {
    if (x < 0 || y < 0 || x >= width || y >= height || coverage <= 0)
        return;
    Rgb& p = at(x, y);
    p = mix(p, colour, coverage > 1 ? 1 : coverage);
}

namespace {

void put16(std::string& s, uint32_t v) {
    s += (char)(v & 0xff);
    s += (char)((v >> 8) & 0xff);
}

void put32(std::string& s, uint32_t v) {
    put16(s, v & 0xffff);
    put16(s, v >> 16);
}

char toByte(float v) {
    float c = v < 0 ? 0 : (v > 1 ? 1 : v);
    return (char)(unsigned char)std::lround(c * 255.0f);
}

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr int32_t kPixelsPerMetre = 2835; // 72 dpi

} // namespace

std::string bmpBytes(const Image& image) {
    uint32_t rowBytes = ((uint32_t)image.width * 3 + 3) & ~3u;
    uint32_t pixelBytes = rowBytes * (uint32_t)image.height;
    uint32_t offset = kFileHeaderBytes + kInfoHeaderBytes;
    std::string s;
    s.reserve(offset + pixelBytes);
    s += "BM";
    put32(s, offset + pixelBytes);
    put32(s, 0);
    put32(s, offset);
    put32(s, kInfoHeaderBytes);
    put32(s, (uint32_t)image.width);
    put32(s, (uint32_t)image.height); // positive: bottom-up
    put16(s, 1);                      // planes
    put16(s, 24);                     // bits per pixel
    put32(s, 0);                      // no compression
    put32(s, pixelBytes);
    put32(s, kPixelsPerMetre);
    put32(s, kPixelsPerMetre);
    put32(s, 0);
    put32(s, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        size_t rowStart = s.size();
        for (int x = 0; x < image.width; ++x) {
            const Rgb& p = image.at(x, y);
            s += toByte(p.b);
            s += toByte(p.g);
            s += toByte(p.r);
        }
        s.append(rowBytes - (s.size() - rowStart), '\0');
    }
    return s;
}

bool writeBmp(const std::string& path, const Image& image) {
    std::string bytes = bmpBytes(image);
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        reportError("Could not create %s: %s\n", path.c_str(), strerror(errno));
        return false;
    }
    bool written = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (fclose(f) != 0 || !written) {
        reportError("Could not write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace bitmaps
