// The song as data: pattern notation, sequencing onto the show's beat grid, and the
// rendered track itself (length, level, beat grid, determinism).
#include "core/MusicTime.h"
#include "tools/synth/AudioFile.h"
#include "tools/synth/Dsp.h"
#include "tools/synth/Loudness.h"
#include "tools/synth/Notation.h"
#include "tools/synth/Renderer.h"
#include "tools/synth/Sequencer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace synth;

namespace {

ParsedPattern notes(const std::string& text) {
    ParsedPattern p;
    std::string error;
    EXPECT_TRUE(parseNotes(text, p, error)) << error;
    return p;
}

std::string notesError(const std::string& text) {
    ParsedPattern p;
    std::string error;
    EXPECT_FALSE(parseNotes(text, p, error)) << text;
    return error;
}

// A two-bar song with a kick on every beat and a rising pad.
Song kickSong() {
    Song s;
    s.title = "test";
    s.beatsPerMinute = kBeatsPerMinute;
    s.beatOffset = kBeatOffset;
    s.beatsPerBar = 4;
    s.lengthBars = 2;
    s.masterGainDb = 0.0f;
    s.tracks = {{"kick", Instrument::Kick, 0, 0, 0, 0, 0}, {"pad", Instrument::Pad, -6, 0, 0.3f, 0, 0.5f}};
    s.patterns = {{"four", Notation::Steps, "X...X...X...X..."}, {"chord", Notation::Notes, "D3+A3/2."}};
    s.arrangement = {{"kick", "four", 0, 2}, {"pad", "chord", 0, 2, 0.0f, 0.0f, 1.0f}};
    return s;
}

// The show's seconds for beat b.
double beatSeconds(double beat) {
    return (beat - kBeatOffset) * 60.0 / kBeatsPerMinute;
}

const std::vector<float>& fullSong() {
    static std::vector<float> audio = [] {
        std::vector<float> out;
        std::string error;
        EXPECT_TRUE(renderSong(hornSong(), RenderOptions(), out, error)) << error;
        return out;
    }();
    return audio;
}

// Onsets by energy rise: 32-sample hops whose energy jumps well above the 5-15 ms
// before them, at most one per 150 ms. Returns the onset times in seconds.
std::vector<double> onsets(const std::vector<float>& stereo) {
    const size_t hop = 32;
    std::vector<double> energy;
    for (size_t i = 0; i + 2 * hop <= stereo.size(); i += 2 * hop) {
        double e = 0.0;
        for (size_t j = i; j < i + 2 * hop; ++j)
            e += (double)stereo[j] * stereo[j];
        energy.push_back(e);
    }
    double loudest = *std::max_element(energy.begin(), energy.end());
    std::vector<double> found;
    size_t last = 0;
    for (size_t k = 20; k < energy.size(); ++k) {
        double before = 0.0;
        for (size_t j = k - 20; j < k - 6; ++j)
            before += energy[j] / 14.0;
        bool refractory = !found.empty() && k - last < (size_t)(0.15 * kSampleRate / hop);
        if (!refractory && energy[k] > 1e-3 * loudest && energy[k] > 6.0 * before) {
            found.push_back((double)k * hop / kSampleRate);
            last = k;
        }
    }
    return found;
}

} // namespace

TEST(Notation, ReadsPitchesLengthsChordsAndAccents) {
    ParsedPattern p = notes("A4/4 r/8 D3+F#3/8. C5/1*2! Bb1 Eb4/16?");
    ASSERT_EQ(p.notes.size(), 6u);
    EXPECT_EQ(p.notes[0].pitch, 69.0f);
    EXPECT_EQ(p.notes[0].length, 1.0);
    EXPECT_EQ(p.notes[1].pitch, 50.0f); // the chord after the rest
    EXPECT_EQ(p.notes[2].pitch, 54.0f);
    EXPECT_EQ(p.notes[1].beat, 1.5);
    EXPECT_EQ(p.notes[2].length, 0.75);
    EXPECT_EQ(p.notes[3].beat, 2.25);
    EXPECT_EQ(p.notes[3].length, 8.0);
    EXPECT_EQ(p.notes[3].velocity, 1.0f);
    EXPECT_EQ(p.notes[4].pitch, 34.0f); // keeps the previous length
    EXPECT_EQ(p.notes[4].length, 8.0);
    EXPECT_LT(p.notes[5].velocity, p.notes[0].velocity);
    EXPECT_EQ(p.lengthBeats, 18.5);
}

TEST(Notation, RepeatsGroupsAndChecksBarLines) {
    ParsedPattern p = notes("[ D4/16 [ A4/16 ]*3 ]*4 | F4/1 |");
    ASSERT_EQ(p.notes.size(), 17u);
    EXPECT_EQ(p.notes[4].pitch, 62.0f);
    EXPECT_EQ(p.notes[4].beat, 1.0);
    EXPECT_EQ(p.notes[15].pitch, 69.0f);
    EXPECT_EQ(p.notes[15].beat, 3.75);
    EXPECT_EQ(p.notes[16].beat, 4.0);
    EXPECT_EQ(p.lengthBeats, 8.0);

    EXPECT_NE(notesError("A4/4 | B4/4").find("bar line"), std::string::npos);
    EXPECT_NE(notesError("H4/4").find("H4/4"), std::string::npos);
    notesError("A4/3");
    notesError("A/4");
    notesError("A4/4x");
    notesError("[ A4/4");
    notesError("A4/4 ]");
    notesError("[ A4/4 ]*0");
}

TEST(Notation, StepsAreSixteenthsWithVelocities) {
    ParsedPattern p;
    std::string error;
    ASSERT_TRUE(parseSteps("X..x | 5...", p, error)) << error;
    ASSERT_EQ(p.notes.size(), 3u);
    EXPECT_EQ(p.notes[1].beat, 0.75);
    EXPECT_EQ(p.notes[2].beat, 1.0);
    EXPECT_FLOAT_EQ(p.notes[0].velocity, 1.0f);
    EXPECT_FLOAT_EQ(p.notes[1].velocity, 0.7f);
    EXPECT_FLOAT_EQ(p.notes[2].velocity, 0.5f);
    EXPECT_EQ(p.lengthBeats, 2.0);
    EXPECT_FALSE(parseSteps("x..o", p, error));
}

TEST(Sequencer, PlacesNotesOnTheShowsBeatGrid) {
    Song song = kickSong();
    std::vector<NoteEvent> events;
    std::string error;
    ASSERT_TRUE(sequenceSong(song, events, error)) << error;
    std::vector<NoteEvent> kicks, pads;
    for (const NoteEvent& e : events)
        (e.track == 0 ? kicks : pads).push_back(e);
    ASSERT_EQ(kicks.size(), 8u);
    for (int b = 0; b < 8; ++b)
        EXPECT_NEAR((double)kicks[b].start, beatSeconds(b) * kSampleRate, 0.5) << "beat " << b;
    EXPECT_LT(kicks[0].start, 0); // beat 0 lies before the first sample
    EXPECT_EQ(songFrames(song), std::llround(beatSeconds(8) * kSampleRate));

    // The 3-beat chord repeats and is cut at the end of the placement; brightness ramps.
    ASSERT_EQ(pads.size(), 6u);
    EXPECT_EQ(pads[2].start, beatToFrame(song, 3.0));
    EXPECT_EQ(pads[4].start + pads[4].note.gateFrames, beatToFrame(song, 8.0));
    EXPECT_EQ(pads[0].note.brightness, 0.0f);
    EXPECT_NEAR(pads[4].note.brightness, 6.0f / 8.0f, 1e-6f);
    EXPECT_NE(pads[0].note.seed, pads[1].note.seed);
}

TEST(Sequencer, RejectsWhatAMusicianCouldMistype) {
    std::vector<NoteEvent> events;
    std::string error;
    Song song = kickSong();
    song.arrangement[0].track = "kik";
    EXPECT_FALSE(sequenceSong(song, events, error));
    EXPECT_NE(error.find("kik"), std::string::npos);

    song = kickSong();
    song.arrangement[1].pattern = "nope";
    EXPECT_FALSE(sequenceSong(song, events, error));

    song = kickSong();
    song.arrangement[0].bars = 3; // runs past bar 2
    EXPECT_FALSE(sequenceSong(song, events, error));

    song = kickSong();
    song.patterns[1].text = "D3+A3/2 |";
    EXPECT_FALSE(sequenceSong(song, events, error));
    EXPECT_NE(error.find("chord"), std::string::npos);
}

TEST(Renderer, SoloExcerptKeepsItsLengthAndLevel) {
    Song song = kickSong();
    std::vector<float> all, kickOnly, excerpt;
    std::string error;
    ASSERT_TRUE(renderSong(song, RenderOptions(), all, error)) << error;
    RenderOptions solo;
    solo.soloTrack = 0;
    ASSERT_TRUE(renderSong(song, solo, kickOnly, error));
    RenderOptions shortOne;
    shortOne.endBeat = 4.0;
    ASSERT_TRUE(renderSong(song, shortOne, excerpt, error));
    EXPECT_EQ(all.size(), (size_t)songFrames(song) * 2);
    EXPECT_EQ(excerpt.size(), (size_t)beatToFrame(song, 4.0) * 2);
    EXPECT_LT(integratedLoudness(kickOnly), integratedLoudness(all));
    EXPECT_GT(samplePeak(kickOnly), 0.3f);
    EXPECT_LE(samplePeak(all), dbToGain(kCeilingDb));
}

TEST(HornSong, SectionsTurnWhereTheShowChangesScene) {
    const Song& song = hornSong();
    const int sceneBeats[] = {0, 48, 112, 176, 240, 304};
    ASSERT_EQ(song.sections.size(), 6u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(song.sections[i].bar * song.beatsPerBar, sceneBeats[i]);
    EXPECT_EQ(song.lengthBars * song.beatsPerBar, 368);
    EXPECT_EQ(song.beatsPerMinute, kBeatsPerMinute);
    EXPECT_EQ(song.beatOffset, kBeatOffset);
}

TEST(HornSong, FullRenderHasTheArrangementsLengthAndSoundLevels) {
    const std::vector<float>& audio = fullSong();
    EXPECT_EQ(audio.size() / 2, (size_t)std::llround(beatSeconds(368) * kSampleRate));

    // No clipping, before and after the conversion to 16 bits; streaming loudness.
    EXPECT_LT(gainToDb(samplePeak(audio)), -1.0f);
    std::vector<int16_t> pcm = toPcm16(audio);
    int16_t loudest = 0;
    for (int16_t v : pcm)
        loudest = std::max<int16_t>(loudest, (int16_t)std::abs(v));
    EXPECT_LT(loudest, 32767 * dbToGain(-1.0f));
    EXPECT_NEAR(integratedLoudness(audio), -14.0f, 1.0f);

    // The shape of the arrangement: a quiet start, a break that drops back, a loud peak.
    auto bars = [&](int from, int to) {
        // Bar 0 starts before the first sample.
        size_t a = 2 * std::max<int64_t>(0, beatToFrame(hornSong(), from * 4.0));
        size_t b = 2 * beatToFrame(hornSong(), to * 4.0);
        return integratedLoudness(std::vector<float>(audio.begin() + a, audio.begin() + b));
    };
    float peak = bars(60, 76);
    EXPECT_LT(bars(0, 4), peak - 10.0f);
    EXPECT_LT(bars(44, 52), peak - 4.0f);
    EXPECT_GT(bars(12, 28), peak - 4.0f);
}

TEST(HornSong, RendersTheSameBytesTwice) {
    std::vector<float> again;
    std::string error;
    ASSERT_TRUE(renderSong(hornSong(), RenderOptions(), again, error)) << error;
    const std::vector<float>& first = fullSong();
    ASSERT_EQ(again.size(), first.size());
    EXPECT_EQ(std::memcmp(again.data(), first.data(), first.size() * sizeof(float)), 0);
}

TEST(HornSong, KickOnsetsLandOnTheShowsBeatGrid) {
    const Song& song = hornSong();
    int kickTrack = 0;
    while (song.tracks[kickTrack].instrument != Instrument::Kick)
        ++kickTrack;
    std::vector<NoteEvent> events;
    std::string error;
    ASSERT_TRUE(sequenceSong(song, events, error));
    auto isKick = [&](const NoteEvent& e) { return e.track == kickTrack; };
    size_t kicks = std::count_if(events.begin(), events.end(), isKick);

    RenderOptions solo;
    solo.soloTrack = kickTrack;
    std::vector<float> audio;
    ASSERT_TRUE(renderSong(song, solo, audio, error));
    std::vector<double> found = onsets(audio);
    EXPECT_EQ(found.size(), kicks);
    for (double t : found) {
        double beat = std::round(t * kBeatsPerMinute / 60.0 + kBeatOffset);
        EXPECT_NEAR(t, beatSeconds(beat), 0.005) << "beat " << beat;
    }
}
