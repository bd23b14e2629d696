#include "shell/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

Options parse(std::vector<std::string> args) {
    static std::vector<std::string> keep;
    keep = args;
    keep.insert(keep.begin(), "demo");
    std::vector<char*> argv;
    for (std::string& a : keep)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    return parseCommandLine((int)keep.size(), argv.data());
}

TEST(CommandLine, NoArgumentsIsTheShowAsIntended) {
    Options o = parse({});
    EXPECT_FALSE(o.windowed);
    EXPECT_FALSE(o.help);
    EXPECT_EQ(o.inspectFile, nullptr);
    EXPECT_EQ(o.error, nullptr);
}

TEST(CommandLine, FlagsAndInspectorArguments) {
    EXPECT_TRUE(parse({"--windowed"}).windowed);
    EXPECT_TRUE(parse({"--help"}).help);
    Options o = parse({"--inspect", "models/a.3ds", "--frame", "-12"});
    EXPECT_STREQ(o.inspectFile, "models/a.3ds");
    EXPECT_EQ(o.inspectFrame, -12);
    EXPECT_EQ(o.error, nullptr);
    // Toolkit options pass through untouched.
    EXPECT_EQ(parse({"-display", ":3"}).error, nullptr);
}

TEST(CommandLine, BadArgumentsAreReported) {
    EXPECT_NE(parse({"--inspect"}).error, nullptr);
    EXPECT_NE(parse({"--inspect", "x", "--frame"}).error, nullptr);
    EXPECT_NE(parse({"--frame", "12x"}).error, nullptr);
    EXPECT_NE(parse({"--frame", "99999999999"}).error, nullptr);
    Options o = parse({"--fast"});
    ASSERT_NE(o.error, nullptr);
    EXPECT_STREQ(o.unknown, "--fast");
}

} // namespace
