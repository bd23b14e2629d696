// Show files: the example reads as the built-in line-up, every kind of mistake is
// one "FILE:LINE: ..." message, and the beat arithmetic follows the show's tempo.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/AnimationFrame.h"
#include "core/MusicTime.h"
#include "scenes/effects/EffectPasses.h"
#include "shell/LineUp.h"
#include "shell/ShowFile.h"
#include "support/TestPaths.h"

namespace {

// Runs the reading in `dir`, as the demo reads a show in its data directory.
bool readIn(const std::string& dir, const std::string& file, ShowFile* show, std::string* error) {
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd))
        return false;
    if (chdir(dir.c_str()) != 0)
        return false;
    bool ok = readShowFile(file, show, error);
    EXPECT_EQ(chdir(cwd), 0);
    return ok;
}

std::string slashes(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

TEST(ShowFileTest, TheExampleShowIsTheBuiltInLineUp) {
    const std::string data = std::string(DEMO_BINARY_DIR) + "/data";
    struct stat info;
    if (stat((data + "/models/intro.3ds").c_str(), &info) != 0 ||
        stat((data + "/horn.mp3").c_str(), &info) != 0)
        GTEST_SKIP() << "the show's data is not built in " << data;
    ShowFile show;
    std::string error;
    ASSERT_TRUE(readIn(data, std::string(DEMO_SOURCE_DIR) + "/data/show.toml", &show, &error)) << error;
    ShowFile builtIn = builtInShow();
    EXPECT_EQ(show.music, "horn.mp3");
    EXPECT_TRUE(show.tempo == Tempo()) << show.tempo.beatsPerMinute << " " << show.tempo.beatOffset;
    ASSERT_EQ(show.timeline.size(), builtIn.timeline.size());
    for (size_t i = 0; i < show.timeline.size(); ++i) {
        EXPECT_EQ(show.timeline[i].startBeat, builtIn.timeline[i].startBeat) << "entry " << i;
        EXPECT_EQ(show.timeline[i].slot, builtIn.timeline[i].slot) << "entry " << i;
    }
    ASSERT_EQ(show.scenes.size(), builtIn.scenes.size());
    for (ShowScene expected : builtIn.scenes) {
        const ShowScene* read = show.sceneInSlot(expected.slot);
        ASSERT_NE(read, nullptr) << "slot " << expected.slot;
        expected.argument = slashes(expected.argument);
        EXPECT_TRUE(read->sameScene(expected))
            << "slot " << expected.slot << ": " << read->className << ":" << read->argument << " dof "
            << read->dofStrength << " " << read->renderWidth << "x" << read->renderHeight << " reflections "
            << read->numReflections << " frames per beat " << read->framesPerBeat;
    }
    EXPECT_FLOAT_EQ(show.tempo.secondsAt(show.endBeat()), beatsToSeconds(kShowEndBeat));
}

class BadShowFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = makeScratchDir("show-file");
        ASSERT_EQ(mkdir((dir + "/models").c_str(), 0755), 0);
        ASSERT_TRUE(writeFile(dir + "/song.mp3", "not decoded while reading the show"));
        ASSERT_TRUE(writeFile(dir + "/models/a.3ds", "nor is this"));
    }
    // The message for `text` saved as bad.toml; "" when it reads.
    std::string errorOf(const std::string& text) {
        EXPECT_TRUE(writeFile(dir + "/bad.toml", text));
        ShowFile show;
        std::string error;
        return readIn(dir, "bad.toml", &show, &error) ? "" : error;
    }
    std::string dir;
};

const char* const kHead = "music = \"song.mp3\"\nbpm = 120\n"; // lines 1 and 2
const char* const kTwoScenes =
    "[[scene]]\nslot = 1\nclass = \"Scene1\"\n"
    "[[scene]]\nslot = 2\nclass = \"SceneRaytracerPolygons\"\narg = \"models/a.3ds\"\n";

TEST_F(BadShowFileTest, AGoodShowReadsWithItsLines) {
    ShowFile show;
    std::string error;
    ASSERT_TRUE(writeFile(dir + "/good.toml", std::string(kHead) + "beat_offset = 0.5\n" +
                                                  "timeline = [\n  { beat = 0, slot = 1 },\n"
                                                  "  { beat = 16.5, slot = 2 },\n]\n" +
                                                  kTwoScenes + "frames_per_beat = 8\ndof = 0\n"));
    ASSERT_TRUE(readIn(dir, "good.toml", &show, &error)) << error;
    EXPECT_EQ(show.tempo.beatsPerMinute, 120.0);
    EXPECT_EQ(show.tempo.beatOffset, 0.5);
    ASSERT_EQ(show.timeline.size(), 2u);
    EXPECT_EQ(show.timeline[1].startBeat, 16.5f);
    EXPECT_EQ(show.timeline[1].line, 6);
    const ShowScene* polygons = show.sceneInSlot(2);
    ASSERT_NE(polygons, nullptr);
    EXPECT_EQ(polygons->line, 11);
    EXPECT_EQ(polygons->argument, "models/a.3ds");
    EXPECT_EQ(polygons->framesPerBeat, 8);
    EXPECT_EQ(polygons->dofStrength, 0.0f);
    EXPECT_EQ(polygons->numReflections, 4); // left out: the built-in polygon scenes' usual value
}

TEST_F(BadShowFileTest, EachMistakeIsOneLineNamingFileAndLine) {
    const std::string timeline = "timeline = [{ beat = 0, slot = 1 }, { beat = 8, slot = 2 }]\n"; // line 3
    struct Case {
        const char* what;
        std::string text;
        const char* expected; // the whole message after "bad.toml:"
    };
    const Case cases[] = {
        {"syntax", std::string(kHead) + "bpm = = 3\n", "3: bad format: unknown value appeared"},
        {"key given twice", std::string(kHead) + "bpm = 3\n", "3: value (\"bpm\") already exists."},
        {"unknown class",
         std::string(kHead) + timeline + kTwoScenes + "[[scene]]\nslot = 3\nclass = \"SceneNone\"\n",
         "13: unknown class \"SceneNone\" (classes: Scene1, SceneGLSLTunnel[:TYPE], SceneM1, "
         "SceneRaytracedInfo, SceneRaytracer, SceneRaytracedCubes, SceneRaytracedNotes, "
         "SceneRaytracerPolygons:FILE, SceneBrask1)"},
        {"bad argument",
         std::string(kHead) + timeline + kTwoScenes +
             "[[scene]]\nslot = 3\nclass = \"SceneGLSLTunnel\"\narg = \"x\"\n",
         "14: SceneGLSLTunnel:TYPE needs a whole number; got \"x\""},
        {"argument a class takes none",
         std::string(kHead) + timeline + "[[scene]]\nslot = 1\nclass = \"Scene1\"\narg = 2\n",
         "7: Scene1 takes no argument"},
        {"missing model file",
         std::string(kHead) + timeline +
             "[[scene]]\nslot = 2\nclass = \"SceneRaytracerPolygons\"\narg = \"models/b.3ds\"\n",
         "7: no file \"models/b.3ds\" (relative to the working directory)"},
        {"missing music", "music = \"other.mp3\"\nbpm = 120\n",
         "1: no music file \"other.mp3\" (relative to the working directory)"},
        {"timeline out of order",
         std::string(kHead) + "timeline = [{ beat = 8, slot = 1 },\n  { beat = 8, slot = 2 }]\n" + kTwoScenes,
         "4: the timeline is not in order: beat 8 does not come after beat 8 (line 3)"},
        {"slot without a scene",
         std::string(kHead) + "timeline = [{ beat = 0, slot = 1 },\n  { beat = 8, slot = 3 }]\n" + kTwoScenes,
         "4: slot 3 has no [[scene]]"},
        {"polygon value on another class",
         std::string(kHead) + timeline + "[[scene]]\nslot = 1\nclass = \"Scene1\"\nreflections = 2\n",
         "7: reflections is for SceneRaytracerPolygons only"},
        {"value out of range", std::string(kHead) + timeline + kTwoScenes + "reflections = 99\n",
         "11: reflections needs a whole number from 0 to 16"},
        {"misspelt key", std::string(kHead) + timeline + kTwoScenes + "frames_perbeat = 8\n",
         "11: unknown key \"frames_perbeat\" in a [[scene]] (known: slot, class, arg, dof, render_width, "
         "render_height, reflections, frames_per_beat)"},
        {"no tempo", "music = \"song.mp3\"\n", "1: the show needs bpm at its top"},
        {"tempo not a number", "music = \"song.mp3\"\nbpm = \"fast\"\n", "2: bpm needs a number"},
        {"no timeline", std::string(kHead) + kTwoScenes,
         "1: the show has no timeline (timeline = [{ beat = 0, slot = 1 }])"},
        {"slot taken twice",
         std::string(kHead) + timeline + kTwoScenes + "[[scene]]\nslot = 2\nclass = \"Scene1\"\n",
         "12: slot 2 already has a scene (line 7)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(errorOf(c.text), "bad.toml:" + std::string(c.expected)) << c.what << ":\n" << c.text;
    // No line to name when there is no file to read.
    ShowFile show;
    std::string error;
    EXPECT_FALSE(readIn(dir, "none.toml", &show, &error));
    EXPECT_EQ(error, "none.toml: cannot read the show file: No such file or directory");
}

TEST(ShowTempoTest, TheBuiltInTempoIsUnchangedAndAnotherMovesEveryBeatCount) {
    for (float s : {0.0f, 1.0f, 22.1030769f, 81.18f, 140.2569f, 171.3f})
        EXPECT_EQ(Tempo().beatAt(s), (float)(s * 130.0 / 60.0 + 0.11)) << s;
    Tempo slow{60.0, 0.0};
    EXPECT_EQ(slow.beatAt(6.0f), 6.0f);
    EXPECT_EQ(slow.secondsAt(6.0f), 6.0f);
    // At half the tempo the polygon scenes' animation runs half as fast.
    EXPECT_EQ(AnimationFrame::at(2.0f, 16, 10000), (int)(16 * (float)(2.0 * 130 / 60 + 0.35)));
    EXPECT_EQ(AnimationFrame::at(2.0f, 16, 10000, 65.0), (int)(16 * (float)(2.0 * 65 / 60 + 0.35)));
    // The effects' bitmaps switch on the show's beats: beat 1.5 at 60 bpm is 1.5 s,
    // at 130 bpm 1.5 s is already past beat 3.
    EXPECT_EQ(beatSwitchIndex(1.5f, 1.0f, slow), 1);
    EXPECT_EQ(beatSwitchIndex(1.5f, 1.0f), 1);
    EXPECT_EQ(beatSwitchIndex(2.5f, 1.0f, slow), 0);
    EXPECT_EQ(beatSwitchIndex(2.5f, 1.0f), 1); // beat 5.53
}

} // namespace
