#include "support/BitmapFiles.h"

std::string le16(uint32_t v) {
    return {char(v & 0xFF), char(v >> 8 & 0xFF)};
}
std::string le32(uint32_t v) {
    return le16(v & 0xFFFF) + le16(v >> 16);
}

std::string bitmapFile(const BitmapFields& s) {
    std::string info = le32(s.headerBytes) + le32(static_cast<uint32_t>(s.width)) +
                       le32(static_cast<uint32_t>(s.height)) + le16(1) + le16(s.bitCount) +
                       le32(s.compression) + le32(static_cast<uint32_t>(s.pixels.size())) + le32(2835) +
                       le32(2835) + le32(s.colorsUsed) + le32(0);
    uint32_t offset = static_cast<uint32_t>(14 + info.size() + s.extra.size());
    std::string head = "BM" + le32(offset + static_cast<uint32_t>(s.pixels.size())) + le32(0) + le32(offset);
    return head + info + s.extra + s.pixels;
}

std::string bgrRows(int width, int height, const std::function<std::string(int, int)>& colour, char pad) {
    std::string rows;
    for (int r = 0; r < height; ++r) {
        for (int x = 0; x < width; ++x)
            rows += colour(x, r);
        while (rows.size() % 4)
            rows += pad;
    }
    return rows;
}

std::string patternPixel(int x, int row) {
    return {char(10 + x * 20), char(100 + row * 30), char(250 - x * 7 - row * 11)};
}

std::string patternBitmap(int width, int height) {
    BitmapFields s;
    s.width = width;
    s.height = height;
    s.pixels = bgrRows(width, height, patternPixel);
    return bitmapFile(s);
}
