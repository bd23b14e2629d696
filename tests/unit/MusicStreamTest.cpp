#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>

#include "core/Mp3Decoder.h"
#include "shell/OpenAlMusic.h"
#include "support/AudioFixtures.h"
#include "support/TestPaths.h"

// These run with ALSOFT_DRIVERS=null (set by CTest): OpenAL mixes in real time
// without a sound card, so the real playback path is exercised.
namespace {

const uint64_t kBytesPerSecond = 44100 * 4;

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

class MusicStreamTest : public ::testing::Test {
  protected:
    static std::string dir, oneSecond, garbage;
    static void SetUpTestSuite() {
        dir = makeScratchDir("music");
        oneSecond = dir + "/one.mp3";
        ASSERT_TRUE(makeToneMp3(oneSecond, 44100));
        garbage = dir + "/garbage.mp3";
        std::string noise;
        for (int i = 0; i < 5000; ++i)
            noise.push_back((char)(i * 7919 % 251));
        ASSERT_TRUE(writeFile(garbage, noise));
    }
};
std::string MusicStreamTest::dir, MusicStreamTest::oneSecond, MusicStreamTest::garbage;

TEST_F(MusicStreamTest, DecodesExactLengthDespiteEncoderDelay) {
    DecodedAudio audio;
    std::string error;
    ASSERT_TRUE(decodeMp3File(oneSecond.c_str(), audio, error)) << error;
    EXPECT_EQ(audio.rate, 44100);
    EXPECT_EQ(audio.channels, 2);
    EXPECT_EQ(audio.frames(), 44100u);
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The frames of an MPEG-1 Layer III stream with no tag: each header gives its
// frame's length from bit rate, sample rate and padding.
std::vector<std::string> mpegFrames(const std::string& bytes) {
    static const int kbps[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    static const int rates[4] = {44100, 48000, 32000, 0};
    std::vector<std::string> frames;
    for (size_t at = 0; at + 4 <= bytes.size();) {
        const unsigned char* h = reinterpret_cast<const unsigned char*>(bytes.data()) + at;
        int bitrate = kbps[h[2] >> 4], rate = rates[(h[2] >> 2) & 3];
        if (h[0] != 0xFF || (h[1] & 0xFE) != 0xFA || !bitrate || !rate)
            break;
        size_t size = 144 * bitrate * 1000 / rate + ((h[2] >> 1) & 1);
        frames.push_back(bytes.substr(at, size));
        at += size;
    }
    return frames;
}

// Only a run of whole frames is music: noise, frames with junk between them, a
// handful of frames and a track cut short are refused with a reason; so the
// show keeps its silent clock instead of ending when the noise does.
TEST_F(MusicStreamTest, OnlyAWholeRunOfFramesIsATrack) {
    std::string untagged = dir + "/untagged.mp3";
    ASSERT_TRUE(makeToneMp3(untagged, 22050, false));
    std::vector<std::string> frames = mpegFrames(bytesOf(untagged));
    ASSERT_GT(frames.size(), 18u) << "half a second at 44.1 kHz";
    std::mt19937 random(7);
    auto noise = [&](size_t bytes) {
        std::string s;
        while (s.size() < bytes)
            s.push_back(static_cast<char>(random()));
        return s;
    };
    std::string spliced, few;
    for (size_t i = 0; i < frames.size(); ++i)
        spliced += (i % 3 == 0 ? noise(300) : "") + frames[i];
    for (size_t i = 0; i < kMinTrackFrameRun - 1; ++i)
        few += frames[i];
    std::string tagged = bytesOf(oneSecond);
    const struct {
        const char* name;
        std::string bytes;
        const char* reason;
    } refused[] = {{"noise.mp3", noise(256 << 10), "no MPEG audio"},
                   {"spliced.mp3", spliced, "frames in a row"},
                   {"few.mp3", few, "frames in a row"},
                   {"cut.mp3", tagged.substr(0, tagged.size() / 2), "cut short"},
                   {"empty.mp3", "", "empty"}};
    for (const auto& c : refused) {
        std::string path = dir + "/" + c.name;
        ASSERT_TRUE(writeFile(path, c.bytes));
        DecodedAudio audio;
        std::string error;
        EXPECT_FALSE(decodeMp3File(path.c_str(), audio, error)) << c.name << " played " << audio.frames();
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
    }
    // The untagged file itself is a track: all of it, give or take the encoder's
    // delay and padding that no tag removes.
    DecodedAudio audio;
    std::string error;
    ASSERT_TRUE(decodeMp3File(untagged.c_str(), audio, error)) << error;
    EXPECT_NEAR(double(audio.frames()), 22050.0, 2 * 1152.0);
}

// Two files joined: the second part switches to mono, then to another rate.
TEST_F(MusicStreamTest, StreamsThatChangeFormatMidwayKeepTheirLengthOrFail) {
    std::string wav = oneSecond + ".wav"; // left by makeToneMp3
    ASSERT_EQ(runCommand("lame --quiet -m m '" + wav + "' '" + dir + "/mono.mp3' && lame --quiet -m m " +
                         "--resample 16 '" + wav + "' '" + dir + "/mono16k.mp3' && cd '" + dir +
                         "' && cat one.mp3 mono.mp3 > mixed.mp3 && cat one.mp3 mono16k.mp3 > rates.mp3"),
              0);
    DecodedAudio audio;
    std::string error;
    ASSERT_TRUE(decodeMp3File((dir + "/mixed.mp3").c_str(), audio, error)) << error;
    EXPECT_EQ(audio.channels, 2);
    // Two seconds, give or take the second file's encoder delay and padding (mono
    // samples read as stereo pairs once made it about 1.5 s).
    EXPECT_GT(audio.frames(), 2 * 44100u - 1152u);
    EXPECT_LT(audio.frames(), 2 * 44100u + 4 * 1152u);
    EXPECT_FALSE(decodeMp3File((dir + "/rates.mp3").c_str(), audio, error));
    EXPECT_EQ(error, "the stream changes its sample rate");
    EXPECT_TRUE(audio.samples.empty());
}

TEST_F(MusicStreamTest, LengthAndConversionsInBytes) {
    OpenAlMusic m(10.0);
    MusicHandle h = m.streamCreateFile(oneSecond.c_str());
    ASSERT_NE(h, 0u);
    EXPECT_EQ(m.length(h), kBytesPerSecond);
    EXPECT_DOUBLE_EQ(m.bytesToSeconds(h, m.length(h)), 1.0);
    for (uint64_t bytes : {0ull, 4ull, 70560ull, 176400ull, 123456ull * 4})
        EXPECT_EQ(m.secondsToBytes(h, m.bytesToSeconds(h, bytes)), bytes);
    EXPECT_EQ(m.secondsToBytes(h, -3.0), 0u);
    EXPECT_EQ(m.secondsToBytes(h, 0.5) % 4, 0u) << "positions fall on whole frames";
}

TEST_F(MusicStreamTest, MissingAndGarbageFilesGiveHandleZeroWithARunningClock) {
    for (const std::string& path : {dir + "/nothing.mp3", garbage, dir}) {
        OpenAlMusic m(169.8);
        EXPECT_EQ(m.streamCreateFile(path.c_str()), 0u) << path;
        EXPECT_STRNE(m.lastError(), "") << path;
        EXPECT_NEAR(m.bytesToSeconds(0, m.length(0)), 169.8, 1e-4);
        // The silent clock starts at play, not at creation.
        sleepMs(60);
        EXPECT_EQ(m.position(0), 0u);
        EXPECT_TRUE(m.play(0, true));
        sleepMs(120);
        double t = m.bytesToSeconds(0, m.position(0));
        EXPECT_GT(t, 0.08);
        EXPECT_LT(t, 1.0);
    }
}

// One check of playback over both clocks: advancing in real time, never
// backwards between seeks, a seek read back exactly, the end reporting the length.
void checkPlayback(OpenAlMusic& m, MusicHandle h) {
    EXPECT_TRUE(m.play(h, true));
    auto start = std::chrono::steady_clock::now();
    uint64_t last = 0;
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(400)) {
        uint64_t p = m.position(h);
        EXPECT_GE(p, last);
        last = p;
        sleepMs(2);
    }
    // Wide bounds: CI runs this beside other tests on two cores.
    double t = m.bytesToSeconds(h, last);
    EXPECT_GT(t, 0.1);
    EXPECT_LT(t, 0.8);

    uint64_t target = m.secondsToBytes(h, 0.1);
    m.setPosition(h, target);
    EXPECT_EQ(m.position(h), target);
    sleepMs(100);
    EXPECT_GE(m.position(h), target);

    // Play the rest out: a stopped source reports the length, so the show ends.
    sleepMs(1500);
    EXPECT_EQ(m.position(h), m.length(h));

    // Seeking back after the end plays again; seeking past the end clamps.
    m.setPosition(h, m.secondsToBytes(h, 0.5));
    EXPECT_EQ(m.position(h), m.secondsToBytes(h, 0.5));
    sleepMs(50);
    EXPECT_LT(m.position(h), m.length(h));
    m.setPosition(h, m.length(h) * 3);
    EXPECT_EQ(m.position(h), m.length(h));
    EXPECT_EQ(m.position(h), m.length(h));
}

TEST_F(MusicStreamTest, OpenAlPlaybackKeepsRealTime) {
    OpenAlMusic m(10.0);
    ASSERT_TRUE(m.init(44100)) << "run with ALSOFT_DRIVERS=null";
    MusicHandle h = m.streamCreateFile(oneSecond.c_str());
    ASSERT_NE(h, 0u);
    checkPlayback(m, h);
    m.free();
}

TEST_F(MusicStreamTest, WithoutDeviceTheStreamRunsSilently) {
    OpenAlMusic m(10.0); // init not called: no device
    MusicHandle h = m.streamCreateFile(oneSecond.c_str());
    ASSERT_NE(h, 0u);
    EXPECT_FALSE(m.hasDevice());
    checkPlayback(m, h);
}

} // namespace

namespace {

// Pause holds the clock (also through a seek), play resumes from there.
void checkPause(OpenAlMusic& m, MusicHandle h) {
    ASSERT_TRUE(m.play(h, true));
    sleepMs(150);
    m.pause(h);
    uint64_t held = m.position(h);
    EXPECT_GT(held, 0u);
    sleepMs(300);
    EXPECT_EQ(m.position(h), held);
    m.setPosition(h, kBytesPerSecond / 4);
    EXPECT_EQ(m.position(h), kBytesPerSecond / 4);
    sleepMs(200);
    EXPECT_EQ(m.position(h), kBytesPerSecond / 4) << "a seek must not resume a paused stream";
    ASSERT_TRUE(m.play(h, false));
    sleepMs(300);
    uint64_t resumed = m.position(h);
    EXPECT_GT(resumed, kBytesPerSecond / 4 + kBytesPerSecond / 10);
    EXPECT_LT(resumed, kBytesPerSecond / 4 + kBytesPerSecond * 7 / 10);
}

} // namespace

TEST_F(MusicStreamTest, PauseHoldsTheClockOfBothStreams) {
    OpenAlMusic heard(10.0);
    ASSERT_TRUE(heard.init(44100)) << "run with ALSOFT_DRIVERS=null";
    MusicHandle h = heard.streamCreateFile(oneSecond.c_str());
    ASSERT_NE(h, 0u);
    checkPause(heard, h);
    heard.free();
    OpenAlMusic silent(10.0);
    h = silent.streamCreateFile(oneSecond.c_str());
    ASSERT_NE(h, 0u);
    checkPause(silent, h);
}
