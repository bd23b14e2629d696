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

// "N", "CLASS" or "CLASS:ARG" as --scene understood it, or the complaint.
std::string understood(const std::string& value, std::vector<std::string> more = {}) {
    more.insert(more.begin(), {"--scene", value});
    Options o = parse(more);
    if (!o.error.empty())
        return "error: " + o.error;
    if (o.scene.lineUpScene)
        return "show " + std::to_string(o.scene.lineUpScene);
    return std::string(o.scene.libraryClass->name) + "(" + o.scene.argument + ")";
}

TEST(ScenePreview, SceneNumbersClassesAndArguments) {
    EXPECT_FALSE(parse({}).scene.chosen());
    EXPECT_EQ(understood("1"), "show 1");
    EXPECT_EQ(understood("Scene1"), "Scene1()");
    EXPECT_EQ(understood("SceneGLSLTunnel"), "SceneGLSLTunnel()");
    EXPECT_EQ(understood("SceneGLSLTunnel:1"), "SceneGLSLTunnel(1)");
    EXPECT_EQ(understood("SceneGLSLTunnel:-1"), "SceneGLSLTunnel(-1)");
    // Paths keep everything after the first colon, slashes and colons included.
    EXPECT_EQ(understood("SceneRaytracerPolygons:models/a:b.3ds"), "SceneRaytracerPolygons(models/a:b.3ds)");
    Options o = parse({"--scene=SceneM1", "--watch", "--windowed"});
    EXPECT_EQ(o.error, "");
    EXPECT_TRUE(o.watch && o.windowed);
    EXPECT_STREQ(o.scene.libraryClass->name, "SceneM1");
    o = parse({"--capture", "out/", "--scene", "SceneRaytracer", "--size", "64x48"});
    EXPECT_EQ(o.error, "");
    EXPECT_STREQ(o.scene.libraryClass->name, "SceneRaytracer");
}

TEST(ScenePreview, BadChoicesAreExplained) {
    for (const char* number : {"0", "7", "99999999999"})
        EXPECT_EQ(understood(number),
                  std::string("error: --scene takes a scene of the show from 1 to 6; got \"") + number +
                      "\"");
    // An unknown name lists every class, with the argument each takes.
    std::string unknown = understood("scene1");
    EXPECT_EQ(
        unknown.rfind("error: --scene needs 1 to 6 or a scene class (Scene1, SceneGLSLTunnel[:TYPE], ", 0),
        0u)
        << unknown;
    EXPECT_NE(unknown.find(", SceneRaytracerPolygons:FILE"), std::string::npos) << unknown;
    EXPECT_EQ(unknown.substr(unknown.size() - 15), "); got \"scene1\"") << unknown;
    EXPECT_EQ(understood("Scene1:2"), "error: Scene1 takes no argument");
    EXPECT_EQ(understood("SceneGLSLTunnel:round"),
              "error: SceneGLSLTunnel:TYPE needs a whole number; got \"round\"");
    EXPECT_EQ(understood("SceneGLSLTunnel:"), "error: SceneGLSLTunnel:TYPE needs a whole number; got \"\"");
    EXPECT_EQ(understood("SceneRaytracerPolygons:"),
              "error: SceneRaytracerPolygons needs a 3D Studio file: SceneRaytracerPolygons:FILE");
    EXPECT_EQ(understood("1", {"--capture", "o/", "--watch"}),
              "error: --watch needs a window; it does not go with --capture or --bench");
}

} // namespace
