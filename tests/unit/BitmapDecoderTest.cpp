#include "core/BitmapDecoder.h"
#include "support/BitmapFiles.h"
#include "support/GuardedBuffer.h"
#include "support/TestPaths.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

// Decodes from a guarded buffer, so any read past the file's end crashes.
bool decode(const std::string& file, DecodedBitmap* out) {
    GuardedBuffer bytes(file);
    return decodeBitmap(bytes.data(), bytes.size(), out);
}

std::string pixelsOf(const DecodedBitmap& b) {
    return std::string(reinterpret_cast<const char*>(b.pixels.get()), b.rowBytes * b.height);
}

// The decoded form of the pattern: 24-bit rows, bottom first, zero padding.
std::string expectedPattern(int width, int height) {
    return bgrRows(width, height, patternPixel);
}

BitmapFields fields(int width, int height, uint16_t bitCount, const std::string& pixels) {
    BitmapFields s;
    s.width = width;
    s.height = height;
    s.bitCount = bitCount;
    s.pixels = pixels;
    return s;
}

TEST(BitmapDecoder, TwentyFourBitRowsPassThroughWithTheirPadding) {
    // Width 5: 15 bytes of pixels and one byte of padding per row. Padding bytes
    // that are not zero come through too: the upload skips them.
    BitmapFields s = fields(5, 3, 24, bgrRows(5, 3, patternPixel, '\x77'));
    DecodedBitmap b;
    ASSERT_TRUE(decode(bitmapFile(s), &b));
    EXPECT_EQ(b.width, 5);
    EXPECT_EQ(b.height, 3);
    EXPECT_EQ(b.rowBytes, 16u);
    EXPECT_EQ(pixelsOf(b), s.pixels);
}

TEST(BitmapDecoder, ConvertedFormatsGiveTheSameRowsAsTwentyFourBit) {
    const int w = 3, h = 2;
    std::string expected = expectedPattern(w, h);

    // Top-down: file rows run from the top, so they are stored reversed.
    BitmapFields topDown =
        fields(w, -h, 24, bgrRows(w, h, [&](int x, int r) { return patternPixel(x, h - 1 - r); }));
    // 32 bits without masks: blue, green, red, unused.
    BitmapFields bgrx =
        fields(w, h, 32, bgrRows(w, h, [](int x, int r) { return patternPixel(x, r) + "\xEE"; }));
    // 32 bits with masks for the byte order red, green, blue, alpha.
    BitmapFields rgba = fields(w, h, 32, bgrRows(w, h, [](int x, int r) {
                                   std::string p = patternPixel(x, r);
                                   return std::string{p[2], p[1], p[0], '\x01'};
                               }));
    rgba.compression = 3;
    rgba.extra = le32(0x000000FF) + le32(0x0000FF00) + le32(0x00FF0000);
    // The same with the masks inside a version 4 header of 108 bytes.
    BitmapFields v4 = rgba;
    v4.headerBytes = 108;
    v4.extra += std::string(108 - 40 - 12, '\0');

    struct Case {
        const char* name;
        BitmapFields s;
    } cases[] = {{"top-down", topDown}, {"32-bit", bgrx}, {"bitfields", rgba}, {"v4 header", v4}};
    for (const Case& c : cases) {
        DecodedBitmap b;
        ASSERT_TRUE(decode(bitmapFile(c.s), &b)) << c.name;
        EXPECT_EQ(b.width, w) << c.name;
        EXPECT_EQ(b.height, h) << c.name;
        EXPECT_EQ(pixelsOf(b), expected) << c.name;
    }
}

TEST(BitmapDecoder, SixteenBitChannelsAreWidenedToEightBits) {
    // One row: pure red, full white, and a mid value, as 5-6-5 bitfields; then the
    // same picture in the default 5-5-5 layout.
    BitmapFields s565 =
        fields(3, 1, 16, le16(0xF800) + le16(0xFFFF) + le16(16 << 11 | 32 << 5 | 16) + std::string(2, '\0'));
    s565.compression = 3;
    s565.extra = le32(0xF800) + le32(0x07E0) + le32(0x001F);
    BitmapFields s555 =
        fields(3, 1, 16, le16(0x7C00) + le16(0x7FFF) + le16(16 << 10 | 16 << 5 | 16) + std::string(2, '\0'));
    const std::string red("\x00\x00\xFF", 3), white("\xFF\xFF\xFF", 3);
    DecodedBitmap b;
    ASSERT_TRUE(decode(bitmapFile(s565), &b));
    EXPECT_EQ(pixelsOf(b), red + white + std::string("\x84\x82\x84", 3) + std::string(3, '\0'));
    ASSERT_TRUE(decode(bitmapFile(s555), &b));
    EXPECT_EQ(pixelsOf(b), red + white + std::string("\x84\x84\x84", 3) + std::string(3, '\0'));
}

TEST(BitmapDecoder, PaletteIndicesBecomeTheirColours) {
    // Three declared colours; index 7 lies beyond them and reads as black.
    std::string palette = std::string("\x01\x02\x03\x00\x11\x12\x13\x00\x21\x22\x23\x00", 12);
    BitmapFields s8 = fields(3, 2, 8, std::string("\x00\x01\x02\x00\x02\x07\x00\x00", 8));
    s8.colorsUsed = 3;
    s8.extra = palette;
    DecodedBitmap b;
    ASSERT_TRUE(decode(bitmapFile(s8), &b));
    EXPECT_EQ(pixelsOf(b), std::string("\x01\x02\x03\x11\x12\x13\x21\x22\x23\x00\x00\x00"
                                       "\x21\x22\x23\x00\x00\x00\x01\x02\x03\x00\x00\x00",
                                       24));

    // 1 bit per pixel, most significant bit first: 1, 0, 1.
    BitmapFields s1 = fields(3, 1, 1, std::string("\xA0\x00\x00\x00", 4));
    s1.extra = palette.substr(0, 8);
    ASSERT_TRUE(decode(bitmapFile(s1), &b));
    EXPECT_EQ(pixelsOf(b), std::string("\x11\x12\x13\x01\x02\x03\x11\x12\x13\x00\x00\x00", 12));
}

TEST(BitmapDecoder, MalformedFilesAreRejectedWithoutReadingPastTheEnd) {
    const std::string good = patternBitmap(4, 3);
    auto with = [&](size_t at, const std::string& bytes) {
        return std::string(good).replace(at, bytes.size(), bytes);
    };
    BitmapFields rle = fields(4, 3, 8, std::string(12, '\0'));
    rle.compression = 1;
    BitmapFields bitfields24 = fields(4, 3, 24, bgrRows(4, 3, patternPixel));
    bitfields24.compression = 3;
    bitfields24.extra = le32(0xFF0000) + le32(0xFF00) + le32(0xFF);
    BitmapFields holeyMask = fields(1, 1, 32, std::string(4, '\0'));
    holeyMask.compression = 3;
    holeyMask.extra = le32(0x00FF00FF) + le32(0xFF00) + le32(0xFF000000);
    // Declares 16384 x 16384 at 32 bits (1 GiB) but carries a few bytes.
    BitmapFields huge = fields(16384, 16384, 32, std::string(64, '\0'));

    struct Case {
        const char* name;
        std::string file;
    } cases[] = {
        {"empty", ""},
        {"not a bitmap", with(0, "PK")},
        {"cut inside the header", good.substr(0, 30)},
        {"one pixel byte short", good.substr(0, good.size() - 1)},
        {"pixel offset past the end", with(10, le32(static_cast<uint32_t>(good.size()) + 1))},
        {"pixel offset inside the header", with(10, le32(20))},
        {"header larger than the file", with(14, le32(0xFFFFFFFF))},
        {"unknown header size", with(14, le32(16))},
        {"width 0", with(18, le32(0))},
        {"negative width", with(18, le32(static_cast<uint32_t>(-4)))},
        {"width over 16384", with(18, le32(16385))},
        {"height 0", with(22, le32(0))},
        {"height over 16384 top-down", with(22, le32(static_cast<uint32_t>(-16385)))},
        {"most negative height", with(22, le32(static_cast<uint32_t>(INT_MIN)))},
        {"two planes", with(26, le16(2))},
        {"7 bits per pixel", with(28, le16(7))},
        {"run-length compressed", bitmapFile(rle)},
        {"bitfields on 24 bits", bitmapFile(bitfields24)},
        {"mask with a hole", bitmapFile(holeyMask)},
        {"huge size, few bytes", bitmapFile(huge)},
    };
    for (const Case& c : cases) {
        DecodedBitmap b;
        EXPECT_FALSE(decode(c.file, &b)) << c.name;
        EXPECT_FALSE(b.pixels) << c.name;
    }
    DecodedBitmap b;
    EXPECT_TRUE(decode(good, &b)) << "the unmodified file must decode";
}

TEST(BitmapDecoder, FilesAreReadOnlyWhenRegular) {
    std::string dir = makeScratchDir("bitmaps");
    ASSERT_TRUE(writeFile(dir + "/p.bmp", patternBitmap(2, 2)));
    DecodedBitmap b;
    EXPECT_TRUE(loadBitmapFile((dir + "/p.bmp").c_str(), &b));
    EXPECT_EQ(pixelsOf(b), expectedPattern(2, 2));
    EXPECT_FALSE(loadBitmapFile((dir + "/missing.bmp").c_str(), &b));
    EXPECT_FALSE(loadBitmapFile(dir.c_str(), &b));
}

} // namespace
