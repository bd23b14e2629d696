// The real show through the capture mode, in the build's data directory: small
// frames, few of them, each run a separate process as a user would start it.
#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "core/MusicTime.h"
#include "support/TestPaths.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace {

const std::string kDataDir = std::string(DEMO_BINARY_DIR) + "/data";
const std::string kSmall = " --size 320x240 --render-width 128";

bool showIsBuilt() {
    struct stat info;
    return stat((kDataDir + "/models/intro.3ds").c_str(), &info) == 0;
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs a capture into `out` (a directory); the log goes beside it.
void capture(const std::string& out, const std::string& arguments) {
    std::string log = out + ".log";
    std::string command = "cd '" + kDataDir + "' && '" + DEMO_BINARY_DIR + "/demo' --capture '" + out + "/'" +
                          arguments + " >'" + log + "' 2>&1";
    ASSERT_EQ(runCommand(command), 0) << command << "\n" << bytesOf(log);
}

std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* entry = readdir(d))
            if (entry->d_name[0] != '.')
                names.push_back(entry->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> frameNames(int first, int end) {
    std::vector<std::string> names;
    for (int k = first; k < end; ++k) {
        char name[32];
        snprintf(name, sizeof(name), "%06d.png", k);
        names.push_back(name);
    }
    return names;
}

// The share of pixels that differ from the first one.
double nonUniformShare(const std::string& path) {
    int width = 0, height = 0, channels = 0;
    unsigned char* rgb = stbi_load(path.c_str(), &width, &height, &channels, 3);
    if (!rgb)
        return -1;
    size_t differing = 0, count = (size_t)width * height;
    for (size_t i = 1; i < count; ++i)
        differing += !std::equal(rgb, rgb + 3, rgb + 3 * i);
    stbi_image_free(rgb);
    return (double)differing / count;
}

// The first frame at `fps` whose beat reaches `startBeat`: where that scene comes on screen.
int sceneChangeFrame(float startBeat, int fps) {
    int k = 0;
    while (secondsToBeats((float)((double)k / fps)) < startBeat)
        ++k;
    return k;
}

void expectSameFrames(const std::string& a, const std::string& b, const std::vector<std::string>& names) {
    for (const std::string& name : names)
        EXPECT_TRUE(bytesOf(a + "/" + name) == bytesOf(b + "/" + name)) << name << " differs";
}

class CaptureShowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!showIsBuilt())
            GTEST_SKIP() << "the show's models are not in " << kDataDir;
        scratch = makeScratchDir("capture-show");
    }
    std::string scratch;
};

TEST_F(CaptureShowTest, OneSecondAcrossTheFirstSceneChangeIsRepeatableAndShowsSomething) {
    const std::string range = " --fps 10 --from 21.6 --to 22.6" + kSmall;
    capture(scratch + "/a", range);
    capture(scratch + "/b", range);
    std::vector<std::string> names = frameNames(216, 226);
    ASSERT_EQ(filesIn(scratch + "/a"), names);
    ASSERT_EQ(filesIn(scratch + "/b"), names);
    expectSameFrames(scratch + "/a", scratch + "/b", names);
    int change = sceneChangeFrame(48.0f, 10);
    ASSERT_GT(change, 216);
    ASSERT_LT(change, 226);
    for (int k : {change - 1, change}) {
        std::string png = scratch + "/a/" + frameNames(k, k + 1)[0];
        EXPECT_GT(nonUniformShare(png), 0.05) << png << " is (nearly) one colour";
    }
    EXPECT_NE(bytesOf(scratch + "/a/" + frameNames(change - 1, change)[0]),
              bytesOf(scratch + "/a/" + frameNames(change, change + 1)[0]))
        << "the scene change shows no change";
}

TEST_F(CaptureShowTest, ChunksRenderTheFramesOfOneRunFromTheStart) {
    const int fps = 1;
    int second = sceneChangeFrame(48.0f, fps);
    int insideThird = sceneChangeFrame(112.0f, fps) + 1;
    int end = insideThird + 2;
    const std::string settings = " --fps 1 --size 160x120 --render-width 64";
    capture(scratch + "/whole", settings + " --to " + std::to_string(end));
    capture(scratch + "/chunks", settings + " --to " + std::to_string(second));
    capture(scratch + "/chunks",
            settings + " --from " + std::to_string(second) + " --to " + std::to_string(insideThird));
    capture(scratch + "/chunks",
            settings + " --from " + std::to_string(insideThird) + " --to " + std::to_string(end));
    std::vector<std::string> names = frameNames(0, end);
    ASSERT_EQ(filesIn(scratch + "/whole"), names);
    ASSERT_EQ(filesIn(scratch + "/chunks"), names);
    expectSameFrames(scratch + "/whole", scratch + "/chunks", names);
}

// --overlay draws the authoring overlay into the frames, as the capture's own
// state has it (the capture's frame rate, never a measured one), so chunks still
// match one run across a scene change; without it the frames carry none.
TEST_F(CaptureShowTest, OverlayFramesAreFrameExactAndOnlyWhenAsked) {
    const std::string settings = " --fps 2 --size 320x240 --render-width 64";
    capture(scratch + "/whole", settings + " --overlay --from 20 --to 24");
    capture(scratch + "/chunks", settings + " --overlay --from 20 --to 22.5");
    capture(scratch + "/chunks", settings + " --overlay --from 22.5 --to 24");
    capture(scratch + "/plain", settings + " --from 20 --to 21");
    std::vector<std::string> names = frameNames(40, 48);
    ASSERT_EQ(filesIn(scratch + "/whole"), names);
    ASSERT_EQ(filesIn(scratch + "/chunks"), names);
    expectSameFrames(scratch + "/whole", scratch + "/chunks", names);
    EXPECT_NE(bytesOf(scratch + "/whole/000040.png"), bytesOf(scratch + "/plain/000040.png"));
}

TEST_F(CaptureShowTest, ALateChunkRendersNoEarlierFrame) {
    capture(scratch + "/late", " --fps 10 --from 140 --to 140.3" + kSmall);
    EXPECT_EQ(filesIn(scratch + "/late"), frameNames(1400, 1403));
}

// The whole show at a few frames a second: each scene comes on screen once, in order,
// on the first frame whose beat reaches its start, and the show ends with the track.
TEST_F(CaptureShowTest, TheWholeShowChangesScenesOnTheirBeats) {
    const int fps = 4;
    capture(scratch + "/whole", " --fps 4 --size 32x24 --render-width 16");
    std::istringstream log(bytesOf(scratch + "/whole.log"));
    std::vector<std::pair<int, float>> changes;
    for (std::string line; std::getline(log, line);) {
        int scene = 0;
        float beat = 0;
        if (sscanf(line.c_str(), "Change scene to %d on beat %f", &scene, &beat) == 2)
            changes.push_back({scene, beat});
    }
    const float starts[] = {48, 112, 176, 240, 304};
    ASSERT_EQ(changes.size(), 5u) << bytesOf(scratch + "/whole.log");
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(changes[i].first, i + 2);
        float expected = secondsToBeats((float)sceneChangeFrame(starts[i], fps) / fps);
        EXPECT_NEAR(changes[i].second, expected, 1e-3) << "scene " << i + 2;
    }
    EXPECT_GT(filesIn(scratch + "/whole").size(), 4u * 165) << "the show ends before the track";
}

// The changes of scene a capture's log reports, as "Change scene to N on beat B" lines.
std::vector<std::string> sceneChanges(const std::string& log) {
    std::istringstream in(bytesOf(log));
    std::vector<std::string> changes;
    for (std::string line; std::getline(in, line);)
        if (line.compare(0, 16, "Change scene to ") == 0)
            changes.push_back(line);
    return changes;
}

// The example show file plays the built-in show: at one frame a second the frames
// just before and after every scene change (22.1, 51.6, 81.2, 110.7, 140.3 s) and
// all between are the same bytes.
TEST_F(CaptureShowTest, TheExampleShowFileCapturesTheBuiltInShow) {
    const std::string settings = " --fps 1 --to 142 --size 32x24 --render-width 16";
    capture(scratch + "/builtin", settings);
    capture(scratch + "/file", settings + " --show '" + DEMO_SOURCE_DIR + "/data/show.toml'");
    std::vector<std::string> names = frameNames(0, 142);
    ASSERT_EQ(filesIn(scratch + "/builtin"), names);
    ASSERT_EQ(filesIn(scratch + "/file"), names);
    expectSameFrames(scratch + "/builtin", scratch + "/file", names);
    EXPECT_EQ(sceneChanges(scratch + "/file.log"), sceneChanges(scratch + "/builtin.log"));
    EXPECT_EQ(sceneChanges(scratch + "/file.log").size(), 5u);
}

// Two library scenes at 60 beats per minute, the second from beat 6: six seconds
// in, where the built-in tempo would have changed at 2.7 s. Each side of the change
// is the picture of its scene played alone.
TEST_F(CaptureShowTest, AShowAtItsOwnTempoChangesSceneOnItsBeat) {
    const std::string show = scratch + "/tempo.toml";
    ASSERT_TRUE(writeFile(show, "music = \"horn.mp3\"\nbpm = 60\nbeat_offset = 0\n"
                                "timeline = [{ beat = 0, slot = 1 }, { beat = 6, slot = 2 }]\n"
                                "[[scene]]\nslot = 1\nclass = \"Scene1\"\n"
                                "[[scene]]\nslot = 2\nclass = \"SceneGLSLTunnel\"\narg = 1\n"));
    const std::string range = " --fps 10 --from 5.8 --to 6.2" + kSmall;
    capture(scratch + "/show", range + " --show '" + show + "'");
    capture(scratch + "/first", range + " --scene Scene1");
    capture(scratch + "/second", range + " --scene SceneGLSLTunnel:1");
    ASSERT_EQ(filesIn(scratch + "/show"), frameNames(58, 62));
    EXPECT_EQ(sceneChanges(scratch + "/show.log"),
              std::vector<std::string>{"Change scene to 2 on beat 6.000000"});
    expectSameFrames(scratch + "/show", scratch + "/first", frameNames(58, 60));
    expectSameFrames(scratch + "/show", scratch + "/second", frameNames(60, 62));
    EXPECT_NE(bytesOf(scratch + "/show/000059.png"), bytesOf(scratch + "/show/000060.png"));
    // Chunks split at the change render the frames of the one run.
    capture(scratch + "/chunks", " --fps 10 --from 5.8 --to 6" + kSmall + " --show '" + show + "'");
    capture(scratch + "/chunks", " --fps 10 --from 6 --to 6.2" + kSmall + " --show '" + show + "'");
    ASSERT_EQ(filesIn(scratch + "/chunks"), frameNames(58, 62));
    expectSameFrames(scratch + "/show", scratch + "/chunks", frameNames(58, 62));
}

} // namespace
