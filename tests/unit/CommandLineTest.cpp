#include "shell/CommandLine.h"
#include "shell/RenderSide.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> keep;

// argv for the arguments after the program name, null-terminated; the strings stay in `keep`.
std::vector<char*> argvOf(std::vector<std::string> args) {
    keep = args;
    keep.insert(keep.begin(), "demo");
    std::vector<char*> argv;
    for (std::string& a : keep)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    return argv;
}

Options parse(std::vector<std::string> args) {
    std::vector<char*> argv = argvOf(args);
    return parseCommandLine((int)keep.size(), argv.data());
}

CommandLineOptions parseWith(std::vector<std::string> args, const SceneValueCheck& checkScene) {
    std::vector<char*> argv = argvOf(args);
    return parseCommandLine((int)keep.size(), argv.data(), checkScene);
}

std::vector<std::string> toolkitArgs(const Options& o) {
    std::vector<std::string> args;
    for (int i = 0; i < o.toolkitArgc(); ++i)
        args.push_back(o.toolkitArgs[i]);
    EXPECT_EQ(o.toolkitArgs.back(), nullptr);
    return args;
}

TEST(CommandLine, NoArgumentsIsTheShowAsIntended) {
    Options o = parse({});
    EXPECT_FALSE(o.windowed);
    EXPECT_FALSE(o.help);
    EXPECT_EQ(o.inspectFile, nullptr);
    EXPECT_EQ(o.captureOut, nullptr);
    EXPECT_EQ(o.error, "");
    EXPECT_EQ(toolkitArgs(o), std::vector<std::string>{"demo"});
}

TEST(CommandLine, ToolkitOptionsReachGlutInitAndOursDoNot) {
    Options o = parse({"-display", ":3", "--windowed", "-sync", "-geometry", "640x480+0+0", "-iconic"});
    EXPECT_EQ(o.error, "");
    EXPECT_TRUE(o.windowed);
    EXPECT_EQ(toolkitArgs(o), std::vector<std::string>({"demo", "-display", ":3", "-sync", "-geometry",
                                                        "640x480+0+0", "-iconic"}));
    // A toolkit option's value is never read as one of ours, and the scan starts afresh each call.
    o = parse({"-display", "--help"});
    EXPECT_FALSE(o.help);
    EXPECT_EQ(toolkitArgs(o), std::vector<std::string>({"demo", "-display", "--help"}));
    EXPECT_NE(parse({"-geometry"}).error, "");
}

TEST(CommandLine, InspectorAndCaptureArguments) {
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_TRUE(parse({"-h"}).help);
    Options o = parse({"--inspect", "models/a.3ds", "--frame", "-12"});
    EXPECT_STREQ(o.inspectFile, "models/a.3ds");
    EXPECT_EQ(o.inspectFrame, -12);
    EXPECT_FALSE(o.inspectSummary);
    EXPECT_EQ(o.error, "");
    o = parse({"--summary", "--inspect", "models/a.3ds"});
    EXPECT_TRUE(o.inspectSummary);
    EXPECT_EQ(o.error, "");
    EXPECT_EQ(parse({"--summary"}).error, "--summary goes with --inspect");

    o = parse({"--capture", "out/"});
    EXPECT_STREQ(o.captureOut, "out/");
    EXPECT_EQ(o.fps, 60);
    EXPECT_EQ(o.width, 1024);
    EXPECT_EQ(o.height, 768);
    EXPECT_EQ(o.from, 0);
    EXPECT_LT(o.to, 0);
    EXPECT_EQ(o.renderWidth, 0);

    o = parse({"--capture=x.mkv", "--fps", "10", "--size=320x240", "--from", "21.6", "--to", "22.6",
               "--render-width", "128"});
    EXPECT_EQ(o.error, "");
    EXPECT_STREQ(o.captureOut, "x.mkv");
    EXPECT_EQ(o.fps, 10);
    EXPECT_EQ(o.width, 320);
    EXPECT_EQ(o.height, 240);
    EXPECT_DOUBLE_EQ(o.from, 21.6);
    EXPECT_DOUBLE_EQ(o.to, 22.6);
    EXPECT_EQ(o.renderWidth, 128);

    o = parse({"--bench", "--json", "--size", "64x48"});
    EXPECT_EQ(o.error, "");
    EXPECT_TRUE(o.bench && o.json);
    EXPECT_FALSE(o.spread);
    EXPECT_TRUE(parse({"--bench", "--spread"}).spread);
    EXPECT_EQ(o.captureOut, nullptr);
    EXPECT_EQ(o.width, 64);
}

// A cheap preview in the window: the frame's size and the traced side, with the
// rule that picks the side when only the size is given.
TEST(CommandLine, WindowTakesSizeAndRenderWidth) {
    Options o = parse({"--windowed", "--scene", "4", "--size", "320x240", "--render-width", "128"});
    EXPECT_EQ(o.error, "");
    EXPECT_TRUE(o.sizeGiven);
    EXPECT_EQ(o.width, 320);
    EXPECT_EQ(o.height, 240);
    EXPECT_EQ(o.renderWidth, 128);
    o = parse({"--render-width", "200"});
    EXPECT_EQ(o.error, "");
    EXPECT_FALSE(o.sizeGiven);
    EXPECT_EQ(o.renderWidth, 200);

    EXPECT_EQ(renderSideForFrame(128, 320, 240), 128); // asked for: always that
    EXPECT_EQ(renderSideForFrame(900, 320, 240), 900);
    EXPECT_EQ(renderSideForFrame(0, 320, 240), 320); // the larger side of a small frame
    EXPECT_EQ(renderSideForFrame(0, 240, 320), 320);
    EXPECT_EQ(renderSideForFrame(0, 799, 600), 799);
    EXPECT_EQ(renderSideForFrame(0, 64, 48), 96);   // never below the adaptive floor
    EXPECT_EQ(renderSideForFrame(0, 1024, 768), 0); // the scenes' own 800
    EXPECT_EQ(renderSideForFrame(0, 800, 100), 0);
    EXPECT_EQ(renderSideForFrame(0, 100, 800), 0);
}

// Authoring: --watch and --overlay bring the transport and overlay to the window;
// a capture takes --overlay alone; --from starts the window too.
TEST(CommandLine, AuthoringOptions) {
    Options o = parse({"--windowed"});
    EXPECT_FALSE(o.edit || o.overlay || o.fromGiven);
    EXPECT_TRUE(parse({"--edit"}).edit);
    EXPECT_TRUE(parse({"--watch"}).edit);
    o = parse({"--overlay", "--from", "31.5"});
    EXPECT_EQ(o.error, "");
    EXPECT_TRUE(o.edit && o.overlay && o.fromGiven);
    EXPECT_DOUBLE_EQ(o.from, 31.5);
    o = parse({"--capture", "o/", "--overlay"});
    EXPECT_EQ(o.error, "");
    EXPECT_TRUE(o.overlay);
    EXPECT_FALSE(o.edit);
    EXPECT_EQ(parse({"--scene", "3", "--from", "20"}).error, "");
    EXPECT_EQ(parse({"--capture", "o/", "--watch", "--edit"}).error,
              "--watch needs a window; it does not go with --capture or --bench");
}

TEST(CommandLine, BadArgumentsAreReported) {
    const std::vector<std::vector<std::string>> bad = {
        {"--inspect"},
        {"--inspect", "x", "--frame"},
        {"--frame", "12x"},
        {"--frame", "99999999999"},
        {"--capture", "o/", "--fps", "0"},
        {"--capture", "o/", "--fps", "ten"},
        {"--capture", "o/", "--size", "320"},
        {"--capture", "o/", "--size", "0x240"},
        {"--capture", "o/", "--size", "320x240x"},
        {"--capture", "o/", "--from", "-1"},
        {"--capture", "o/", "--from", "nan"},
        {"--capture", "o/", "--from", "5", "--to", "5"},
        {"--capture", "o/", "--render-width", "0"},
        {"--fps", "10"}, // capture settings without a capture
        {"--to", "20"},
        {"--capture", "o/", "--edit"}, // authoring is the window's
        {"--bench", "--overlay"},
        {"--inspect", "x.3ds", "--from", "3"},
        {"--inspect", "x.3ds", "--render-width", "64"},
        {"stray"},
        {"--json"},
        {"--spread"},
        {"--bench", "--capture", "o/"},
        {"--target-fps", "0"},
        {"--capture", "o/", "--target-fps", "24"}, // captures and benchmarks never adapt
        {"--bench", "--target-fps", "24"},
    };
    for (const auto& args : bad)
        EXPECT_NE(parse(args).error, "") << args[0] << " " << (args.size() > 1 ? args[1] : "");
    Options adaptive = parse({"--windowed", "--target-fps", "24", "--scene", "3"});
    EXPECT_EQ(adaptive.error, "");
    EXPECT_EQ(adaptive.targetFps, 24);
    EXPECT_EQ(parse({"--fast"}).error, "unknown option --fast");
    EXPECT_EQ(parse({"--windowed", "-xh"}).error, "unknown option -x"); // not "--windowed"
    EXPECT_EQ(parse({"-hx"}).error, "unknown option -x");
    EXPECT_EQ(parse({"--capture", "o/", "--fps", "0"}).error,
              "--fps needs a whole number from 1 to 1000; got \"0\"");
}

// The core parser knows no scene classes: the caller's check answers for --scene's
// value, its complaint ends the parse where the option stands, and a refused value
// is not kept.
TEST(CommandLine, SceneValueGoesToTheCheckHandedIn) {
    std::vector<std::string> asked;
    auto onlyMine = [&asked](const char* value) {
        asked.push_back(value);
        return std::string(value) == "Mine" ? "" : std::string("not mine: ") + value;
    };
    CommandLineOptions o = parseWith({"--scene", "Mine"}, onlyMine);
    EXPECT_EQ(o.error, "");
    EXPECT_STREQ(o.sceneValue, "Mine");
    EXPECT_EQ(asked, std::vector<std::string>{"Mine"});

    EXPECT_EQ(parseWith({"--scene", "Mine", "--fps", "bad", "--scene", "Other"}, onlyMine).error,
              "--fps needs a whole number from 1 to 1000; got \"bad\"");
    asked.clear();
    o = parseWith({"--scene", "Other", "--fps", "bad"}, onlyMine);
    EXPECT_EQ(o.error, "not mine: Other");
    EXPECT_EQ(o.sceneValue, nullptr);
    EXPECT_EQ(asked, std::vector<std::string>{"Other"});
    // An accepted scene still rules out --show.
    EXPECT_NE(parseWith({"--scene", "Mine", "--show", "s.toml"}, onlyMine).error, "");
}

} // namespace
