#include "shell/Timeline.h"

#include <gtest/gtest.h>

namespace {

// The show's schedule.
void addShow(Timeline& t) {
    t.add(0.0f, 1);
    t.add(48.0f, 2);
    t.add(112.0f, 3);
    t.add(176.0f, 4);
    t.add(240.0f, 5);
    t.add(304.0f, 6);
}

TEST(Timeline, AddOnEmptyGivesOneEntryAndCursorZero) {
    Timeline t;
    EXPECT_EQ(t.size(), 0);
    t.add(3.0f, 7);
    EXPECT_EQ(t.size(), 1);
    EXPECT_EQ(t.position(), 0);
    float start = -1;
    EXPECT_EQ(t.lookup(100.0f, start), 7);
    EXPECT_EQ(start, 3.0f);
}

TEST(Timeline, EqualityAdvancesOneEntryPerCall) {
    Timeline t;
    addShow(t);
    float start = -1;
    EXPECT_EQ(t.lookup(0.11f, start), 1);
    EXPECT_EQ(start, 0.0f);
    EXPECT_EQ(t.lookup(48.0f, start), 2);
    EXPECT_EQ(start, 48.0f);
    // A beat far ahead still moves one entry per call.
    EXPECT_EQ(t.lookup(1000.0f, start), 3);
    EXPECT_EQ(t.lookup(1000.0f, start), 4);
}

TEST(Timeline, LastEntryHolds) {
    Timeline t;
    addShow(t);
    float start = 0;
    for (int i = 0; i < 10; ++i)
        t.lookup(400.0f, start);
    EXPECT_EQ(t.lookup(1e6f, start), 6);
    EXPECT_EQ(start, 304.0f);
    EXPECT_EQ(t.position(), 5);
}

TEST(Timeline, ResetWalksForwardOneStepPerCall) {
    Timeline t;
    addShow(t);
    float start = 0;
    for (int i = 0; i < 4; ++i)
        t.lookup(200.0f, start);
    t.reset();
    EXPECT_EQ(t.position(), 0);
    EXPECT_EQ(t.lookup(200.0f, start), 2);
    EXPECT_EQ(start, 48.0f);
    EXPECT_EQ(t.lookup(200.0f, start), 3);
    EXPECT_EQ(start, 112.0f);
    EXPECT_EQ(t.lookup(200.0f, start), 4);
    EXPECT_EQ(start, 176.0f);
    EXPECT_EQ(t.lookup(200.0f, start), 4);
}

TEST(Timeline, NeverMovesBackWithoutReset) {
    Timeline t;
    addShow(t);
    float start = 0;
    t.lookup(50.0f, start);
    t.lookup(120.0f, start); // at entry 2 (scene 3)
    // Below the next entry and even below the current entry's start: stays.
    EXPECT_EQ(t.lookup(10.0f, start), 3);
    EXPECT_EQ(start, 112.0f);
    EXPECT_EQ(t.lookup(175.99f, start), 3);
}

} // namespace
