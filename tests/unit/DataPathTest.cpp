#include "core/DataPath.h"

#include <gtest/gtest.h>

#include "support/TestPaths.h"

namespace {

TEST(DataPath, BackslashesBecomeSlashes) {
    EXPECT_EQ(dataPath("models\\intro.3ds"), "models/intro.3ds");
    EXPECT_EQ(dataPath("horn.mp3"), "horn.mp3");
    EXPECT_EQ(dataPath(""), "");
}

TEST(DataPath, FallsBackToAFileDifferingOnlyInCase) {
    std::string dir = makeScratchDir("datapath");
    ASSERT_TRUE(writeFile(dir + "/checker.bmp", "x"));
    ASSERT_TRUE(writeFile(dir + "/Exact.BMP", "x"));
    EXPECT_EQ(dataPath((dir + "\\CHECKER.BMP").c_str()), dir + "/checker.bmp");
    EXPECT_EQ(dataPath((dir + "/Exact.BMP").c_str()), dir + "/Exact.BMP");
    // No match at all: the mapped name, so messages show what was asked for.
    EXPECT_EQ(dataPath((dir + "/missing.bmp").c_str()), dir + "/missing.bmp");
    EXPECT_EQ(dataPath("no-such-dir\\file.bmp"), "no-such-dir/file.bmp");
}

} // namespace
