// The track as the show receives it: written as WAV, encoded by lame, loaded by the
// show's music stream and decoder with the music still on the beat grid.
#include "core/Mp3Decoder.h"
#include "shell/OpenAlMusic.h"
#include "support/TestPaths.h"
#include "tools/synth/AudioFile.h"
#include "tools/synth/Dsp.h"
#include "tools/synth/Renderer.h"
#include "tools/synth/Sequencer.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace synth;

namespace {

constexpr size_t kMp3FrameSamples = 1152;
constexpr double kMp3FrameSeconds = kMp3FrameSamples / 44100.0;

// The length of an MP3 file as the show's music stream reports it, in seconds.
double streamSeconds(const std::string& path) {
    OpenAlMusic music(1.0); // no init: loading needs no audio device
    MusicHandle handle = music.streamCreateFile(path.c_str());
    EXPECT_NE(handle, 0u) << music.lastError();
    return handle ? music.bytesToSeconds(handle, music.length(handle)) : 0.0;
}

// The horn song cut short after the kick comes in (bar 8) and two bars on.
std::vector<int16_t> excerpt() {
    RenderOptions options;
    options.endBeat = 40.0;
    std::vector<float> audio;
    std::string error;
    EXPECT_TRUE(renderSong(hornSong(), options, audio, error)) << error;
    return toPcm16(audio);
}

// The shift of `b` against `a` (left channels) in samples, searched over ±maxLag
// around a window that starts at frame `from`.
int bestLag(const std::vector<int16_t>& a, const std::vector<int16_t>& b, size_t from, int maxLag) {
    const size_t window = 8192;
    double best = -1e300;
    int bestAt = 0;
    for (int lag = -maxLag; lag <= maxLag; ++lag) {
        double sum = 0.0;
        for (size_t i = from; i < from + window; ++i)
            sum += (double)a[2 * i] * b[2 * (i + lag)];
        if (sum > best) {
            best = sum;
            bestAt = lag;
        }
    }
    return bestAt;
}

uint32_t le32(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | (uint8_t)s[at + i];
    return v;
}

} // namespace

TEST(SynthAudioFile, WavImageHasTheCanonicalHeaderAndSamples) {
    std::vector<int16_t> pcm = {0, 1, -1, 32767, -32768, 258};
    std::string wav = wavImage(pcm, kSampleRate);
    ASSERT_EQ(wav.size(), 44u + 12u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(le32(wav, 4), 36u + 12u);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(wav, 24), 44100u);
    EXPECT_EQ(le32(wav, 28), 44100u * 4);
    EXPECT_EQ(wav[22], 2);  // channels
    EXPECT_EQ(wav[34], 16); // bits
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(le32(wav, 40), 12u);
    EXPECT_EQ((uint8_t)wav[46], 1);
    EXPECT_EQ((uint8_t)wav[48], 0xff); // -1, little-endian
    EXPECT_EQ((uint8_t)wav[54], 2);    // 258 = 0x0102
    EXPECT_EQ((uint8_t)wav[55], 1);

    std::vector<int16_t> clipped = toPcm16({1.5f, -1.5f, 0.5f});
    EXPECT_EQ(clipped[0], 32767);
    EXPECT_EQ(clipped[1], -32768);
    EXPECT_EQ(clipped[2], 16384);
}

TEST(SynthAudioFile, EncodedExcerptDecodesToItsLengthOnTheBeatGrid) {
    std::string dir = makeScratchDir("synth-mp3");
    std::string path = dir + "/excerpt.mp3";
    std::vector<int16_t> pcm = excerpt();
    std::string error;
    ASSERT_TRUE(encodeMp3File(path, pcm, kSampleRate, 192, "lame", error)) << error;

    size_t frames = pcm.size() / 2;
    EXPECT_NEAR(streamSeconds(path), frames / 44100.0, kMp3FrameSeconds);
    DecodedAudio decoded;
    ASSERT_TRUE(decodeMp3File(path.c_str(), decoded, error)) << error;
    EXPECT_EQ(decoded.rate, 44100);
    ASSERT_EQ(decoded.channels, 2);

    // Without the encoder's delay dropped the music would come 1105 samples late. Check
    // a window around the first kick (beat 32).
    size_t kick = (size_t)beatToFrame(hornSong(), 32.0);
    ASSERT_LT(kick + 10000, std::min(frames, decoded.frames()));
    EXPECT_EQ(bestLag(pcm, decoded.samples, kick - 2000, 1500), 0);

    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    double kbps = st.st_size * 8.0 / (frames / 44100.0) / 1000.0;
    EXPECT_GE(kbps, 185.0); // 192 kbit/s less the unused tail of the last frame
}

TEST(SynthAudioFile, FailingEncoderIsReported) {
    std::string dir = makeScratchDir("synth-mp3-fail");
    std::string error;
    EXPECT_FALSE(encodeMp3File(dir + "/x.mp3", {0, 0}, kSampleRate, 192, "false", error));
    EXPECT_NE(error.find("false"), std::string::npos);
    EXPECT_FALSE(encodeMp3File(dir + "/x.mp3", {0, 0}, kSampleRate, 192, dir + "/no-such-lame", error));
    EXPECT_FALSE(writeWavFile(dir + "/missing/x.wav", {0, 0}, kSampleRate, error));
}

// The file the build put into the data directory, as the show will play it.
TEST(SynthAudioFile, BuiltTrackDecodesToTheArrangementsLength) {
    std::string path = std::string(DEMO_BINARY_DIR) + "/data/horn.mp3";
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        GTEST_SKIP() << path << " is not built";
    EXPECT_NEAR(streamSeconds(path), songFrames(hornSong()) / 44100.0, kMp3FrameSeconds);
}
