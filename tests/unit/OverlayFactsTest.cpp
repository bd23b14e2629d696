#include <gtest/gtest.h>

#include "shell/authoring/OverlayFacts.h"
#include "support/ShellFakes.h"

namespace {

TEST(OverlayFacts, TheWholeTextOfAPausedLoopWithAReloadError) {
    OverlayFacts f;
    f.seconds = 36.88f;
    f.beat = 80.5f;
    f.entry = 1;
    f.entries = 6;
    f.entryStartBeat = 48;
    f.scene = 2;
    f.sceneClass = "SceneRaytracerPolygons";
    f.fps = 29.6f;
    f.width = 1024;
    f.height = 768;
    f.tracedSide = 800;
    f.paused = true;
    f.looping = true;
    f.loopStart = 22.1f;
    f.loopEnd = 51.64f;
    f.errors = {"Could not compile shader file shaders/Ray.glsl:3:", "0:3(28): error: syntax error"};
    EXPECT_EQ(overlayLines(f), std::vector<std::string>({
                                   "36.88 s   beat 80.50   bar 20 + 0.50",
                                   "entry 2 of 6 from beat 48   scene 2 SceneRaytracerPolygons",
                                   "30 fps   1024 x 768, traced 800 x 800",
                                   "paused   looping 22.10 s to 51.64 s",
                                   "Could not compile shader file shaders/Ray.glsl:3:",
                                   "0:3(28): error: syntax error",
                               }));
    // A number key's empty slot and a scene without traced targets.
    f.sceneClass.clear();
    f.tracedSide = 0;
    f.paused = f.looping = false;
    f.errors.clear();
    std::vector<std::string> lines = overlayLines(f);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "entry 2 of 6 from beat 48   scene 2 (empty slot)");
    EXPECT_EQ(lines[2], "30 fps   1024 x 768");
    EXPECT_EQ(lines[3], "playing");
}

TEST(OverlayFacts, SceneClassIsTheDynamicType) {
    RecordingScene scene(3);
    EXPECT_EQ(sceneClassName(&scene), "RecordingScene");
    EXPECT_EQ(sceneClassName(nullptr), "");
}

TEST(OverlayFacts, StripMapsTheTrackBothWaysAndClamps) {
    // A strip from x 18, 988 wide, over a 200 s track.
    EXPECT_FLOAT_EQ(stripSeconds(18 + 988 * 0.75f, 18, 988, 200), 150);
    EXPECT_FLOAT_EQ(stripX(150, 18, 988, 200), 18 + 988 * 0.75f);
    EXPECT_FLOAT_EQ(stripSeconds(0, 18, 988, 200), 0);
    EXPECT_FLOAT_EQ(stripSeconds(2000, 18, 988, 200), 200);
    EXPECT_FLOAT_EQ(stripX(-5, 18, 988, 200), 18);
    EXPECT_FLOAT_EQ(stripSeconds(100, 18, 0, 200), 0); // a strip with no room
    EXPECT_FLOAT_EQ(stripX(10, 18, 988, 0), 18);       // no track
}

} // namespace
