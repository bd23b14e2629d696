#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/MusicTime.h"
#include "shell/FrameClock.h"
#include "shell/FrameStep.h"
#include "shell/ShellState.h"
#include "shell/Startup.h"
#include "shell/TimelineReplay.h"
#include "shell/authoring/BarGrid.h"
#include "shell/authoring/Transport.h"
#include "support/ShellFakes.h"

namespace {

TEST(BarGrid, ArrowsLandOnTheNeighbouringBarStarts) {
    EXPECT_EQ(barStep(78.0f, 1), 20);
    EXPECT_EQ(barStep(78.0f, -1), 19);
    // On a bar (or a rounding error either side of it) a press moves a whole bar.
    for (float onBar : {80.0f, 79.999f, 80.001f}) {
        EXPECT_EQ(barStep(onBar, 1), 21) << onBar;
        EXPECT_EQ(barStep(onBar, -1), 19) << onBar;
        EXPECT_EQ(barOf(onBar), 20) << onBar;
    }
    EXPECT_EQ(barStep(0.11f, -1), 0);
    EXPECT_EQ(barStep(0.02f, -1), -1); // the caller clamps to the track
    EXPECT_EQ(barOf(83.5f), 20);
    EXPECT_FLOAT_EQ(beatInBar(83.5f), 3.5f);
    EXPECT_FLOAT_EQ(beatInBar(79.999f), 0.0f);
}

TEST(BarGrid, EntriesByStartBeat) {
    Timeline t;
    for (float start : {0.0f, 48.0f, 112.0f})
        t.add(start, (int)start + 1);
    EXPECT_EQ(entryAt(t, 0.11f), 0);
    EXPECT_EQ(entryAt(t, 47.99f), 0);
    EXPECT_EQ(entryAt(t, 48.0f), 1);
    EXPECT_EQ(entryAt(t, 500.0f), 2);
    EXPECT_EQ(entryStep(t, 60.0f, 1), 2);
    EXPECT_EQ(entryStep(t, 60.0f, -1), 0);
    EXPECT_EQ(entryStep(t, 0.11f, -1), 0); // never before the first
    EXPECT_EQ(entryStep(t, 200.0f, 1), 2); // nor past the last
}

// The transport on the shell's state: the show's six entries (0, 48, 112, 176,
// 240, 304) and a 200 s track on a clock moved by hand.
class TransportTest : public ::testing::Test {
  protected:
    FakeMusic fakeMusic;
    FakeWindowing fakeWindowing;
    void SetUp() override {
        resetShellForTest(fakeMusic, fakeWindowing);
        resetTransport();
        startSchedule();
    }
    double heard() { return fakeMusic.bytesToSeconds(1, fakeMusic.pos); }
    template <typename F> std::string output(F action) {
        testing::internal::CaptureStdout();
        action();
        return testing::internal::GetCapturedStdout();
    }
    // Plays frames up to `seconds` as the window would.
    void playTo(double seconds) {
        fakeMusic.setSeconds(seconds);
        for (int i = 0; i < 8; ++i)
            frameStep();
    }
};

TEST_F(TransportTest, PauseStopsMusicAndClockTogetherAndSaysWhen) {
    playTo(31.25);
    EXPECT_EQ(output(togglePause), "Paused t=31.25\n");
    EXPECT_TRUE(fakeMusic.paused);
    EXPECT_TRUE(transportState().paused);
    EXPECT_EQ(output(togglePause), "Playing t=31.25\n");
    EXPECT_FALSE(fakeMusic.paused);
}

TEST_F(TransportTest, ThreeBarsForwardLandOnBarStartsAndTheScheduleFollows) {
    playTo(20.0); // beat 43.4, scene 1
    for (int bar = 11; bar <= 13; ++bar) {
        std::string line = output([] { stepBar(1); });
        double start = beatsToSeconds((float)(bar * 4));
        char expected[64];
        snprintf(expected, sizeof(expected), "Bar %d t=%.2f\n", bar, musicTime);
        EXPECT_EQ(line, expected);
        EXPECT_GE(heard(), start);
        EXPECT_LT(heard(), start + 0.002);
        EXPECT_EQ(musicTime, (float)heard()); // the clock is the heard position
    }
    // Bar 12 (beat 48) began scene 2: it is on screen, clocked from its own start.
    EXPECT_EQ(currentScene, 2);
    EXPECT_FLOAT_EQ(sceneStart, sceneStartSeconds(48.0f));
    EXPECT_EQ(timeline.position(), 1);
    // Back over the entry start brings scene 1 back with its clock (the cursor
    // only moves back through a replay).
    output([] { stepBar(-1); });
    output([] { stepBar(-1); });
    EXPECT_EQ(barOf(beat), 11);
    EXPECT_EQ(currentScene, 1);
    EXPECT_FLOAT_EQ(sceneStart, 0.0f);
    EXPECT_EQ(timeline.position(), 0);
}

TEST_F(TransportTest, BarsStayWithinTheTrack) {
    playTo(0.3);
    EXPECT_EQ(output([] { stepBar(-1); }), "Bar 0 t=0.00\n");
    EXPECT_EQ(fakeMusic.pos, fakeMusic.secondsToBytes(1, 0.0005));
    playTo(199.5); // the track is 200 s; the next bar starts later
    uint64_t before = fakeMusic.pos;
    EXPECT_EQ(output([] { stepBar(1); }), "Bar 109 is past the end of the track; t=199.50\n");
    EXPECT_EQ(fakeMusic.pos, before);
}

TEST_F(TransportTest, PagesMoveBetweenEntryStarts) {
    playTo(30.0); // entry 2
    EXPECT_EQ(output([] { stepEntry(1); }), "Entry 3 of 6, scene 3 t=51.64\n");
    EXPECT_EQ(currentScene, 3);
    EXPECT_GE(beat, 112.0f);
    EXPECT_EQ(output([] { stepEntry(-1); }), "Entry 2 of 6, scene 2 t=22.10\n");
    EXPECT_EQ(output([] { stepEntry(-1); }), "Entry 1 of 6, scene 1 t=0.00\n");
    EXPECT_EQ(output([] { stepEntry(-1); }), "Entry 1 of 6, scene 1 t=0.00\n");
    EXPECT_EQ(currentScene, 1);
    playTo(150.0); // the last entry: page down stays
    EXPECT_EQ(output([] { stepEntry(1); }), "Entry 6 of 6, scene 6 is the last; t=150.00\n");
    EXPECT_NEAR(heard(), 150.0, 1e-3);
}

TEST_F(TransportTest, LoopRepeatsTheEntryOnScreenUntilTurnedOff) {
    playTo(30.0);
    EXPECT_EQ(output(toggleLoop), "Looping entry 2 (22.10 s to 51.64 s) t=30.00\n");
    fakeMusic.setSeconds(51.6);
    keepLooping();
    EXPECT_NEAR(heard(), 51.6, 1e-3); // not yet at the end
    fakeMusic.setSeconds(beatsToSeconds(112.0f) + 0.01);
    EXPECT_EQ(output(keepLooping), "Loop back t=22.10\n");
    EXPECT_NEAR(heard(), beatsToSeconds(48.0f), 0.002);
    frameStep();
    EXPECT_EQ(currentScene, 2);
    EXPECT_FLOAT_EQ(sceneStart, sceneStartSeconds(48.0f));
    output(toggleLoop);
    fakeMusic.setSeconds(60.0);
    keepLooping();
    EXPECT_NEAR(heard(), 60.0, 1e-3);
}

// The last entry loops to the end of the track, where the stream stops.
TEST_F(TransportTest, TheLastEntryLoopsAtTheEndOfTheTrack) {
    fakeMusic.len = fakeMusic.secondsToBytes(1, 150.0);
    playTo(145.0);
    output(toggleLoop);
    EXPECT_FLOAT_EQ(transportState().loopEnd, 150.0f);
    fakeMusic.pos = fakeMusic.len;
    output(keepLooping);
    EXPECT_EQ(frameStep(), FrameOutcome::Rendered);
    EXPECT_EQ(currentScene, 6);
}

// A seek leaves the schedule where a capture range starting there leaves it.
TEST_F(TransportTest, SeekMatchesTheCaptureReplay) {
    FrameClock clock{25, PcmFormat{}};
    for (double seconds : {5.0, 22.2, 60.0, 95.0, 150.0}) {
        startSchedule();
        replayTimeline(clock.firstFrameAt(seconds), clock);
        int replayedScene = currentScene, replayedCursor = timeline.position();
        float replayedStart = sceneStart;
        playTo(170.0);
        seekMusic((float)seconds);
        EXPECT_EQ(currentScene, replayedScene) << seconds;
        EXPECT_EQ(timeline.position(), replayedCursor) << seconds;
        EXPECT_EQ(sceneStart, replayedStart) << seconds;
        EXPECT_FLOAT_EQ(sceneTime, musicTime - sceneStart);
    }
}

// --from in the window: the show's schedule at that time; a scene of the show
// previewed alone starts no earlier than its own part of the music.
TEST_F(TransportTest, FromStartsTheWindowWithTheScheduleReplayed) {
    EXPECT_EQ(output([] { startFrom(90.0f); }), "Starting at t=90.00\n");
    EXPECT_EQ(currentScene, 4);
    EXPECT_FLOAT_EQ(sceneStart, sceneStartSeconds(176.0f));
    timeline.clear();
    timeline.add(176.0f, 1);
    startSchedule();
    EXPECT_EQ(output([] { startFrom(20.0f); }), "Starting at t=81.18\n");
    EXPECT_EQ(currentScene, 1);
    EXPECT_NEAR(sceneTime, 0.0f, 0.001f);
}

} // namespace
