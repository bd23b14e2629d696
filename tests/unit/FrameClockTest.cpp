#include "shell/FrameClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "shell/FrameStep.h"
#include "shell/ShellState.h"
#include "shell/TimelineReplay.h"
#include "support/ShellFakes.h"

namespace {

FrameClock clockAt(int fps) {
    FrameClock clock;
    clock.fps = fps;
    return clock; // 44.1 kHz stereo, as FakeMusic counts
}

TEST(FrameClock, EachFramePositionIsTheNearestSampleOfItsOwnTime) {
    for (int fps : {1, 10, 24, 60, 176}) {
        FrameClock clock = clockAt(fps);
        for (int64_t k : {0LL, 1LL, 2LL, 3LL, 221LL, 222LL, 8415LL, 10000000LL}) {
            long double exact = (long double)k * 44100 / fps;
            uint64_t nearest = (uint64_t)std::llround(exact);
            EXPECT_EQ(clock.position(k), nearest * 4) << "fps " << fps << " frame " << k;
        }
    }
    // 44100 / 176 = 250.57 samples: frame 1 rounds up, frame 3 (751.70) too, frame 2 (501.14) down.
    FrameClock odd = clockAt(176);
    EXPECT_EQ(odd.position(1), 251u * 4);
    EXPECT_EQ(odd.position(2), 501u * 4);
}

TEST(FrameClock, RangeEndsAndPrintedTimesNameTheirFrames) {
    FrameClock clock = clockAt(10);
    uint64_t oneSecond = 44100 * 4;
    EXPECT_EQ(clock.framesBefore(oneSecond), 10); // frame 10 sits exactly at the end
    EXPECT_EQ(clock.framesBefore(oneSecond + 4), 11);
    EXPECT_EQ(clock.framesBefore(0), 0);
    EXPECT_EQ(clock.firstFrameAt(0.0), 0);
    EXPECT_EQ(clock.firstFrameAt(0.3), 3); // 0.3 * 10 is 3.0000000000000004
    EXPECT_EQ(clock.firstFrameAt(2.9999), 30);
    EXPECT_EQ(clock.firstFrameAt(22.15), 222);
    // A chunk boundary printed as k / fps with six decimals names frame k again.
    for (int fps : {10, 24, 60, 1000}) {
        FrameClock c = clockAt(fps);
        for (int64_t k = 0; k < 200000; k += 997) {
            char text[32];
            snprintf(text, sizeof(text), "%.6f", (double)k / fps);
            ASSERT_EQ(c.firstFrameAt(atof(text)), k) << text << " at " << fps << " fps";
        }
    }
}

struct Rendered {
    int scene;
    int cursor;
    float sceneStart;
    float time;
    float sceneTime;
};

class TimelineReplayTest : public ::testing::Test {
  protected:
    FakeMusic fakeMusic;
    FakeWindowing fakeWindowing;
    FrameClock clock = clockAt(10);

    // Scene changes print; the output is checked where it matters.
    void SetUp() override {
        resetShellForTest(fakeMusic, fakeWindowing);
        testing::internal::CaptureStdout();
    }
    void TearDown() override { testing::internal::GetCapturedStdout(); }

    Rendered renderFrame(int64_t k) {
        fakeMusic.pos = clock.position(k);
        EXPECT_EQ(frameStep(), FrameOutcome::Rendered);
        auto* scene = static_cast<RecordingScene*>(scenes.get(currentScene));
        return {currentScene, timeline.position(), sceneStart, scene->lastTime, scene->lastSceneTime};
    }
};

// A capture that starts at frame k0 renders frame k0 exactly as a capture from
// frame 0 does: same scene, timeline entry, scene start and render arguments.
TEST_F(TimelineReplayTest, ChunkFromAnyFrameRendersWhatARunFromTheStartRenders) {
    const int64_t frames = 1450; // past the last scene change at 140.26 s
    std::vector<Rendered> fromStart;
    for (int64_t k = 0; k < frames; ++k)
        fromStart.push_back(renderFrame(k));
    EXPECT_EQ(fromStart.back().scene, 6);
    for (int64_t k0 = 0; k0 < frames; ++k0) {
        resetShellForTest(fakeMusic, fakeWindowing);
        replayTimeline(k0, clock);
        Rendered chunk = renderFrame(k0);
        const Rendered& whole = fromStart[k0];
        ASSERT_EQ(chunk.scene, whole.scene) << "frame " << k0;
        ASSERT_EQ(chunk.cursor, whole.cursor) << "frame " << k0;
        ASSERT_EQ(chunk.sceneStart, whole.sceneStart) << "frame " << k0;
        ASSERT_EQ(chunk.time, whole.time) << "frame " << k0;
        ASSERT_EQ(chunk.sceneTime, whole.sceneTime) << "frame " << k0;
    }
}

TEST_F(TimelineReplayTest, ReplayRendersNothingAndActivatesNothing) {
    replayTimeline(clock.firstFrameAt(60.0), clock); // inside scene 3
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    testing::internal::CaptureStdout();
    EXPECT_TRUE(callLog.empty());
    EXPECT_EQ(currentScene, 3);
    EXPECT_EQ(timeline.position(), 2);
    EXPECT_FLOAT_EQ(sceneStart, sceneStartSeconds(112.0f));
}

} // namespace
