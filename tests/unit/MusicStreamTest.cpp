#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "shell/Mp3Decoder.h"
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
