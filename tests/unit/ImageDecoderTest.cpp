#include "core/ImageDecoder.h"
#include "support/BitmapFiles.h"
#include "support/GuardedBuffer.h"
#include "support/ImageFiles.h"

#include <gtest/gtest.h>

namespace {

// Decodes from a guarded buffer, so any read past the file's end crashes.
bool decode(const std::string& file, DecodedBitmap* out, long long maxPixels = kMaxImagePixels) {
    GuardedBuffer bytes(file);
    return decodeImage(bytes.data(), bytes.size(), out, maxPixels);
}

std::string pixelsOf(const DecodedBitmap& b) {
    return std::string(reinterpret_cast<const char*>(b.pixels.get()), b.rowBytes * b.height);
}

// The test pattern as red, green, blue bytes, top row first (bitmap row h - 1).
std::string patternRgb(int width, int height) {
    std::string rgb;
    for (int row = height - 1; row >= 0; --row)
        for (int x = 0; x < width; ++x) {
            std::string bgr = patternPixel(x, row);
            rgb += {bgr[2], bgr[1], bgr[0]};
        }
    return rgb;
}

// Width 5 leaves one byte of padding per row; height 3 tells top from bottom.
TEST(ImageDecoder, LosslessFormatsGiveTheRowsOfTheSameBitmap) {
    const int w = 5, h = 3;
    DecodedBitmap bitmap;
    ASSERT_TRUE(decode(patternBitmap(w, h), &bitmap));
    EXPECT_EQ(pixelsOf(bitmap), bgrRows(w, h, patternPixel)) << "a bitmap's rows as stored";
    for (const char* format : {"png", "tga"}) {
        std::string file = imageFile(format, w, h, patternRgb(w, h));
        ASSERT_FALSE(file.empty()) << format;
        DecodedBitmap image;
        ASSERT_TRUE(decode(file, &image)) << format;
        EXPECT_EQ(image.width, w) << format;
        EXPECT_EQ(image.height, h) << format;
        EXPECT_EQ(image.rowBytes, bitmap.rowBytes) << format;
        EXPECT_EQ(pixelsOf(image), pixelsOf(bitmap)) << format;
    }
}

// Top half red, bottom half blue: lossy, but the colours stay where they were.
TEST(ImageDecoder, JpegKeepsItsColoursAndTheBottomRowFirst) {
    const int w = 16, h = 16;
    std::string rgb;
    for (int row = 0; row < h; ++row)
        for (int x = 0; x < w; ++x)
            rgb += row < h / 2 ? std::string("\xff\0\0", 3) : std::string("\0\0\xff", 3);
    DecodedBitmap image;
    ASSERT_TRUE(decode(imageFile("jpg", w, h, rgb), &image));
    ASSERT_EQ(image.width, w);
    ASSERT_EQ(image.height, h);
    auto near = [](unsigned char value, int want) { return std::abs(int(value) - want) <= 24; };
    for (int x = 0; x < w; x += 5) {
        const unsigned char* bottom = image.pixels.get() + 1 * image.rowBytes + x * 3;
        const unsigned char* top = image.pixels.get() + (h - 2) * image.rowBytes + x * 3;
        EXPECT_TRUE(near(bottom[0], 255) && near(bottom[1], 0) && near(bottom[2], 0)) << "blue at x " << x;
        EXPECT_TRUE(near(top[0], 0) && near(top[1], 0) && near(top[2], 255)) << "red at x " << x;
    }
}

TEST(ImageDecoder, BrokenOrOversizedFilesAreRefused) {
    std::string pattern = patternRgb(8, 8);
    std::string png = imageFile("png", 8, 8, pattern), jpg = imageFile("jpg", 8, 8, pattern);
    DecodedBitmap image;
    for (const std::string* file : {&png, &jpg}) {
        // Cut inside the header: refused. Cut later: refused, or whole rows (stb_image
        // takes missing compressed data as zeros), and never a read past the end.
        for (size_t keep : {size_t(0), size_t(1), size_t(8), size_t(30)})
            EXPECT_FALSE(decode(file->substr(0, keep), &image)) << "first " << keep << " bytes";
        for (size_t keep : {file->size() / 2, file->size() - 1}) {
            if (decode(file->substr(0, keep), &image)) {
                EXPECT_EQ(image.rowBytes * image.height, 24u * 8) << "first " << keep << " bytes";
            }
        }
        std::string garbled = *file;
        for (size_t i = 20; i < garbled.size(); i += 3)
            garbled[i] = char(garbled[i] ^ 0x5a);
        decode(garbled, &image); // may decode to noise, must not crash
    }
    EXPECT_FALSE(decode("not an image at all", &image));
    EXPECT_FALSE(decode(png, &image, 63)) << "64 pixels over a limit of 63";
    EXPECT_TRUE(decode(png, &image, 64));
    // A PNG header claiming a side beyond the texture limit (its checksum is not read).
    std::string huge = png;
    huge.replace(16, 4, std::string("\0\0\x50\0", 4)); // width 20480
    EXPECT_FALSE(decode(huge, &image));
    // A Huffman table of more symbols than it can hold (16 x 255 counted): the
    // stb_image of Debian 12 would write past its arrays.
    std::string overfull = jpg;
    size_t table = overfull.find("\xff\xc4");
    ASSERT_NE(table, std::string::npos);
    overfull.replace(table + 5, 16, std::string(16, '\xff'));
    EXPECT_FALSE(decode(overfull, &image));
}

} // namespace
