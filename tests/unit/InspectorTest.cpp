#include "core/Inspector.h"
#include "core/Studio3dsFile.h"
#include "shell/LineUp.h"
#include "support/Studio3dsFixtures.h"
#include "support/TestPaths.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

TEST(Inspector, PrintsEveryWrittenTexelInOrderThenTheCamera) {
    Studio3dsFixture f;
    f.material("m0");
    f.mesh("square", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 3}}, "m0");
    int node = f.meshNode("square");
    f.positionKey(node, 4, {0, 0, 8});
    f.omniLight("lamp", {5, 6, 7});
    f.camera("cam", {0, -10, 5}, {0, 0, 0}, 40.0f, 3.0f);
    std::string path = makeScratchDir("inspector") + "/scene.3ds";
    ASSERT_TRUE(f.save(path));

    CaptureStdout();
    int status = runInspector(path.c_str(), 2);
    std::vector<std::string> out = lines(GetCapturedStdout());
    EXPECT_EQ(status, 0);
    // 17 header and triangle texels, 2 volume, 3 material, 2 light, 2 mesh, the camera.
    ASSERT_EQ(out.size(), 27u);
    EXPECT_EQ(out[0], "0 header 16 1 1 1");
    EXPECT_EQ(out[1], "1 triangle 1 0 4 0"); // frame 2 of a move to z = 8 at frame 4
    EXPECT_EQ(out[17], "524288 volume 0 0 4 1");
    EXPECT_EQ(out[19].substr(0, 16), "786432 material ");
    EXPECT_EQ(out[22], "800000 light 5 6 7 0");
    EXPECT_EQ(out[24], "900000 mesh 0 0 4 0");
    EXPECT_EQ(out[26], "camera 0 -10 5 0 0 0 3 40");
    long previous = -1;
    for (size_t i = 0; i + 1 < out.size(); ++i) {
        long texel = std::stol(out[i]);
        EXPECT_GT(texel, previous);
        previous = texel;
    }
    // Floats keep all their digits.
    EXPECT_NE(out[19].find("0.501960814"), std::string::npos) << out[19];
}

// Each kind of mesh entry, lights traced and not, a camera without nodes, a file
// shorter than the scene that plays it. The note about the camera goes to standard
// error, so standard output holds the summary alone.
TEST(Inspector, SummaryCountsWhatIsDrawnAgainstTheFile) {
    Studio3dsFixture f;
    f.setFrames(100);
    f.sphere("ballSphere", {0, 0, 0}, 1, "");
    f.box("cratePAABox22", {2, 0, 0}, {3, 1, 1}, "");
    f.mesh("square", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 3}}, "");
    for (const char* mesh : {"ballSphere", "cratePAABox22", "square"})
        f.meshNode(mesh);
    f.meshNode("square", {0, 0, 5});
    f.omniLight("a", {1, 2, 3});
    f.omniLight("b", {4, 5, 6}, {1, 1, 1}, 1.0f, false, false);
    f.spotLight("c", {7, 8, 9}, {0, 0, 0});
    f.camera("cam", {0, -10, 0}, {0, 0, 0}, 45, 0, false);
    std::string path = makeScratchDir("inspector_summary") + "/scene.3ds";
    ASSERT_TRUE(f.save(path));

    const std::string common = "meshes: 4 drawn from 3 in the file (2 triangle meshes, 1 sphere, 1 box)\n"
                               "triangles: 4 in 2 groups\n"
                               "lights: 1 traced of 3 in the file, 1 on; 1 spotlight, not traced; 1 omni "
                               "light without a node, not traced\n"
                               "camera: cam, from its own record (it has no camera or target node)\n";
    CaptureStdout();
    CaptureStderr();
    EXPECT_EQ(runInspector(path.c_str(), 0, true), 0);
    EXPECT_EQ(GetCapturedStdout(),
              common +
                  "frames: 100 in the file; a scene at 16 per beat asks for 1030 over 64 beats (frames "
                  "per beat x (beats + 0.35) + 1); past the file's last frame the animation starts over\n");
    EXPECT_EQ(GetCapturedStderr(),
              path + ": camera cam has no camera or target node; using its own record\n");

    // As the show plays its test9.3ds: scene 4, 8 frames per beat for 64 beats.
    ShowPace pace = showPaceOf("somewhere/TEST9.3DS");
    EXPECT_EQ(pace.scene, 4);
    EXPECT_EQ(showPaceOf("intro.3ds").beats, 48);
    EXPECT_EQ(showPaceOf("models/info.3ds").beats, 64); // the last scene, to the show's end
    EXPECT_EQ(showPaceOf("models/other.3ds").framesPerBeat, 0);
    f.setFrames(600);
    ASSERT_TRUE(f.save(path));
    CaptureStdout();
    EXPECT_EQ(runInspector(path.c_str(), 0, true, pace), 0);
    EXPECT_EQ(GetCapturedStdout(),
              common +
                  "frames: 600 in the file; scene 4 of the show asks for 515 (8 per beat over 64 beats)\n");
}

// Anything but a readable 3D Studio file of at most 256 MiB: one error line, at
// once (a pipe without a writer must not block, /dev/zero must not be read forever).
TEST(Inspector, UnreadablePathsGiveOneErrorLine) {
    std::string dir = makeScratchDir("inspector_unreadable");
    ASSERT_EQ(mkfifo((dir + "/pipe.3ds").c_str(), 0600), 0);
    ASSERT_TRUE(writeFile(dir + "/huge.3ds", ""));
    ASSERT_EQ(truncate((dir + "/huge.3ds").c_str(), off_t(Studio3dsFile::kMaxFileBytes) + 1), 0); // sparse
    const struct {
        std::string path, reason;
    } cases[] = {{"/nonexistent/scene.3ds", "No such file or directory"},
                 {"/dev/zero", "not a regular file"},
                 {dir + "/pipe.3ds", "not a regular file"},
                 {dir, "not a regular file"},
                 {dir + "/huge.3ds", "larger than 256 MiB"}};
    for (const auto& c : cases) {
        CaptureStdout();
        CaptureStderr();
        int status = runInspector(c.path.c_str(), 0);
        std::string out = GetCapturedStdout(), err = GetCapturedStderr();
        EXPECT_EQ(status, 1) << c.path;
        EXPECT_EQ(out, "") << c.path;
        EXPECT_EQ(err, "ERROR: Could not open 3D Studio file " + c.path + ": " + c.reason + "\n");
    }
}

} // namespace
