// The bitmap generator as the build runs it.
#include "core/BitmapDecoder.h"
#include "core/ReadWholeFile.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

namespace {

std::string contents(const std::string& path) {
    size_t length = 0;
    std::unique_ptr<char[]> bytes(readWholeFile(path.c_str(), 1 << 24, &length, allocateCharArray));
    return bytes ? std::string(bytes.get(), length) : std::string();
}

const char* const kNames[] = {
    "credits.bmp", "marble.bmp",  "checker.bmp", "brushed.bmp",      "grid.bmp",           "wood.bmp",
    "brass.bmp",   "lava.bmp",    "stripes.bmp", "dirt-texture.bmp", "lava-texture-4.bmp", "grain1.bmp",
    "code2.bmp",   "testvox.bmp", "tiles.bmp",   "tiles2.bmp",
};

TEST(BitmapGenerator, WritesEveryBitmapAsAPlain24BitFileTheSameOnEveryRun) {
    std::string first = makeScratchDir("bitmaps_first"), second = makeScratchDir("bitmaps_second");
    ASSERT_EQ(runCommand("'" BITMAPS_TOOL "' '" + first + "/textures' >/dev/null"), 0);
    ASSERT_EQ(runCommand("'" BITMAPS_TOOL "' '" + second + "/textures' >/dev/null"), 0);
    for (const char* name : kNames) {
        SCOPED_TRACE(name);
        std::string bytes = contents(first + "/textures/" + name);
        ASSERT_FALSE(bytes.empty());
        EXPECT_TRUE(bytes == contents(second + "/textures/" + name)) << "differs between runs";

        DecodedBitmap bitmap;
        ASSERT_TRUE(
            decodeBitmap(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &bitmap));
        bool credits = std::string(name) == "credits.bmp";
        EXPECT_EQ(bitmap.width, credits ? 1024 : 256);
        EXPECT_EQ(bitmap.height, credits ? 512 : 256);
        // Uncompressed, 24 bits, bottom-up: the pixels follow the 54-byte headers as they are.
        EXPECT_EQ(bytes.size(), 54 + bitmap.rowBytes * bitmap.height);
        EXPECT_EQ(
            bytes.compare(54, std::string::npos,
                          std::string((const char*)bitmap.pixels.get(), bitmap.rowBytes * bitmap.height)),
            0);
        std::set<int> colours;
        for (size_t i = 0; i + 2 < bitmap.rowBytes * bitmap.height; i += 3)
            colours.insert(bitmap.pixels[i] << 16 | bitmap.pixels[i + 1] << 8 | bitmap.pixels[i + 2]);
        EXPECT_GT(colours.size(), 8u) << "a picture, not a fill";
    }
}

TEST(BitmapGenerator, MissingFontIsAClearErrorAndAFailure) {
    std::string dir = makeScratchDir("bitmaps_no_font");
    EXPECT_EQ(runCommand("'" BITMAPS_TOOL "' --font-dir '" + dir + "/none' '" + dir + "/textures' 2>'" + dir +
                         "/err' >/dev/null"),
              1);
    EXPECT_NE(contents(dir + "/err").find("ERROR: "), std::string::npos);
}

} // namespace
