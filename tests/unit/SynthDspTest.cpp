// The synthesizer's building blocks: oscillators, envelopes, filters, echo, reverb,
// limiter and loudness meter, each measured on plain test signals.
#include "tools/synth/Delay.h"
#include "tools/synth/Dsp.h"
#include "tools/synth/Envelope.h"
#include "tools/synth/Filter.h"
#include "tools/synth/Limiter.h"
#include "tools/synth/Loudness.h"
#include "tools/synth/Oscillator.h"
#include "tools/synth/Random.h"
#include "tools/synth/Reverb.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace synth;

namespace {

std::vector<float> sine(float hz, float amplitude, int frames) {
    std::vector<float> x(frames);
    for (int i = 0; i < frames; ++i)
        x[i] = amplitude * std::sin(kTwoPi * hz * i / kSampleRate);
    return x;
}

// Stereo interleaved copy of a mono signal, scaled per side.
std::vector<float> stereo(const std::vector<float>& mono, float left, float right) {
    std::vector<float> x;
    for (float v : mono) {
        x.push_back(v * left);
        x.push_back(v * right);
    }
    return x;
}

double rms(const std::vector<float>& x, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
        sum += (double)x[i] * x[i];
    return std::sqrt(sum / (to - from));
}

// Amplitude of the component at `hz` (Goertzel).
double amplitudeAt(const std::vector<float>& x, double hz) {
    double w = 2.0 * M_PI * hz / kSampleRate, c = 2.0 * std::cos(w), s1 = 0.0, s2 = 0.0;
    for (float v : x) {
        double s0 = v + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return std::sqrt(s1 * s1 + s2 * s2 - c * s1 * s2) * 2.0 / x.size();
}

int risingZeroCrossings(Oscillator& osc, int frames) {
    int count = 0;
    float last = osc.next();
    for (int i = 1; i < frames; ++i) {
        float v = osc.next();
        if (last < 0.0f && v >= 0.0f)
            ++count;
        last = v;
    }
    return count;
}

} // namespace

TEST(Oscillator, EveryWaveformRunsAtItsFrequencyWithinUnitRange) {
    for (Waveform w : {Waveform::Sine, Waveform::Saw, Waveform::Square, Waveform::Triangle}) {
        Oscillator osc(w, 0.25f);
        osc.setFrequency(440.0f);
        EXPECT_NEAR(risingZeroCrossings(osc, kSampleRate), 440, 1) << (int)w;
        float peak = 0.0f;
        for (int i = 0; i < 1000; ++i)
            peak = std::max(peak, std::fabs(osc.next()));
        EXPECT_LT(peak, 1.1f) << (int)w;
        EXPECT_GT(peak, 0.9f) << (int)w;
    }
}

TEST(Oscillator, BandLimitedSawFoldsBackFarLessThanANaiveOne) {
    const float hz = 2940.0f; // the 8th harmonic, 23520 Hz, folds to 20580 Hz
    Oscillator osc(Waveform::Saw);
    osc.setFrequency(hz);
    std::vector<float> blep(kSampleRate / 2), naive(kSampleRate / 2);
    for (size_t i = 0; i < blep.size(); ++i) {
        blep[i] = osc.next();
        naive[i] = 2.0f * std::fmod(hz * i / kSampleRate, 1.0f) - 1.0f;
    }
    double alias = kSampleRate - 8.0 * hz;
    EXPECT_NEAR(amplitudeAt(blep, hz), amplitudeAt(naive, hz), 0.05); // same fundamental
    EXPECT_LT(amplitudeAt(blep, alias), amplitudeAt(naive, alias) / 4.0);
}

TEST(Random, FixedSeedGivesTheSameBoundedSequence) {
    Random a(7), b(7), c(8);
    bool differs = false;
    double sum = 0.0;
    for (int i = 0; i < 100000; ++i) {
        float x = a.nextBipolar();
        EXPECT_EQ(x, b.nextBipolar());
        ASSERT_GE(x, -1.0f);
        ASSERT_LT(x, 1.0f);
        differs |= x != c.nextBipolar();
        sum += x;
    }
    EXPECT_TRUE(differs);
    EXPECT_NEAR(sum / 100000, 0.0, 0.01);
}

TEST(Envelope, FollowsAttackDecaySustainAndRelease) {
    const AdsrShape shape = {0.01f, 0.1f, 0.5f, 0.1f};
    Envelope env(shape, secondsToFrames(0.5f));
    std::vector<float> level;
    while (!env.finished() && level.size() < (size_t)kSampleRate)
        level.push_back(env.next());
    EXPECT_NEAR(level[secondsToFrames(0.01f) - 1], 1.0f, 0.01f);                  // top of the attack
    EXPECT_NEAR(level[secondsToFrames(0.3f)], 0.5f, 0.01f);                       // sustaining
    EXPECT_NEAR(level[secondsToFrames(0.55f)], 0.5f * std::sqrt(0.001f), 0.002f); // half-way down
    EXPECT_NEAR((float)level.size() / kSampleRate, 0.6f, 0.002f);                 // gate plus release
    EXPECT_EQ(env.next(), 0.0f);
}

TEST(Envelope, ShortGatesReleaseFromWhereTheyAre) {
    Envelope cut({0.1f, 0.1f, 0.5f, 0.05f}, secondsToFrames(0.02f));
    float peak = 0.0f;
    int frames = 0;
    for (; !cut.finished(); ++frames)
        peak = std::max(peak, cut.next());
    EXPECT_NEAR(peak, 0.2f, 0.01f); // a fifth of the way up the attack
    EXPECT_NEAR(frames, secondsToFrames(0.07f), 2);

    Envelope none({0.01f, 0.1f, 0.5f, 0.05f}, 0);
    EXPECT_TRUE(none.finished());
    EXPECT_EQ(none.next(), 0.0f);
}

TEST(SvfFilter, LowAndHighPassSplitAtTheCutoff) {
    auto through = [](float hz, bool low) {
        SvfFilter f;
        f.setCutoff(1000.0f, 0.707f);
        std::vector<float> x = sine(hz, 1.0f, kSampleRate / 2);
        for (float& v : x)
            v = low ? f.lowpass(v) : f.highpass(v);
        return gainToDb((float)(rms(x, x.size() / 2, x.size()) * std::sqrt(2.0)));
    };
    EXPECT_NEAR(through(100.0f, true), 0.0f, 0.5f);
    EXPECT_LT(through(10000.0f, true), -35.0f);
    EXPECT_NEAR(through(1000.0f, true), -3.0f, 0.5f);
    EXPECT_NEAR(through(10000.0f, false), 0.0f, 0.5f);
    EXPECT_LT(through(100.0f, false), -35.0f);
}

TEST(SvfFilter, StaysStableWhileTheCutoffJumpsAround) {
    SvfFilter f;
    Random r(3);
    float peak = 0.0f;
    for (int i = 0; i < kSampleRate; ++i) {
        if (i % 16 == 0)
            f.setCutoff(20.0f + 30000.0f * r.nextUnit(), 5.0f);
        float y = f.lowpass(r.nextBipolar());
        ASSERT_TRUE(std::isfinite(y));
        peak = std::max(peak, std::fabs(y));
    }
    EXPECT_LT(peak, 20.0f);
}

TEST(PingPongDelay, EchoesAlternateSidesAndFade) {
    const int delay = 1000;
    PingPongDelay echo(delay, 0.5f, 20000.0f);
    std::vector<float> in(5 * delay, 0.0f), left(in.size(), 0.0f), right(in.size(), 0.0f);
    in[0] = 1.0f;
    echo.process(in.data(), left.data(), right.data(), (int)in.size());
    auto peakNear = [](const std::vector<float>& x, int at) {
        float p = 0.0f;
        for (int i = at - 5; i <= at + 5; ++i)
            p = std::max(p, std::fabs(x[i]));
        return p;
    };
    EXPECT_GT(peakNear(left, delay), 0.9f);
    EXPECT_LT(peakNear(right, delay), 0.01f);
    EXPECT_GT(peakNear(right, 2 * delay), 0.9f);
    EXPECT_NEAR(peakNear(left, 3 * delay), 0.5f, 0.1f);
    EXPECT_NEAR(peakNear(right, 4 * delay), 0.5f, 0.1f);
    EXPECT_LT(rms(left, 0, delay - 5), 1e-6); // nothing before the first echo
}

TEST(Reverb, TailDecaysAndDiffersBetweenSides) {
    Reverb reverb(0.82f, 0.45f);
    const int frames = 4 * kSampleRate;
    std::vector<float> in(frames, 0.0f), silence(frames, 0.0f), left(frames, 0.0f), right(frames, 0.0f);
    in[0] = 1.0f;
    reverb.process(in.data(), silence.data(), left.data(), right.data(), frames);
    double early = rms(left, kSampleRate / 20, kSampleRate / 2);
    EXPECT_GT(early, 1e-4);
    EXPECT_LT(rms(left, 0, secondsToFrames(0.01f)), 1e-9); // the pre-delay
    EXPECT_LT(rms(left, 3 * kSampleRate, frames), early / 100.0);
    double dot = 0.0;
    for (int i = 0; i < kSampleRate; ++i)
        dot += (double)left[i] * right[i];
    EXPECT_LT(std::fabs(dot) / (rms(left, 0, kSampleRate) * rms(right, 0, kSampleRate) * kSampleRate), 0.5);
}

TEST(Limiter, HoldsPeaksUnderTheCeilingAndLeavesQuietPassagesAlone) {
    std::vector<float> mono = sine(200.0f, 0.3f, 3 * kSampleRate);
    for (int i = kSampleRate; i < kSampleRate + 2000; ++i)
        mono[i] *= 6.0f; // a 1.8 burst
    std::vector<float> x = stereo(mono, 1.0f, 0.5f);
    const std::vector<float> original = x;
    const float ceiling = dbToGain(-1.5f);
    limitPeaks(x, ceiling, 0.003f, 0.08f);

    EXPECT_LE(samplePeak(x), ceiling);
    EXPECT_GT(samplePeak(x), ceiling * 0.98f); // limited, not just turned down
    const size_t burst = 2 * kSampleRate;
    for (size_t i : {size_t(0), burst - 2 * secondsToFrames(0.01f), x.size() - 2})
        EXPECT_EQ(x[i], original[i]) << i;
    // The gain is already falling shortly before the burst, on both sides alike.
    size_t before = burst - 2 * secondsToFrames(0.001f);
    EXPECT_LT(std::fabs(x[before]), std::fabs(original[before]));
    EXPECT_FLOAT_EQ(x[before] / original[before], x[before + 1] / original[before + 1]);
}

TEST(Loudness, ReadsSineLevelsAndGatesSilenceOut) {
    std::vector<float> tone = sine(1000.0f, 0.1f, 10 * kSampleRate); // -20 dBFS
    EXPECT_NEAR(integratedLoudness(stereo(tone, 1.0f, 1.0f)), -20.0f, 0.1f);
    EXPECT_NEAR(integratedLoudness(stereo(tone, 1.0f, 0.0f)), -23.0f, 0.1f);
    std::vector<float> withSilence = tone;
    withSilence.resize(30 * kSampleRate, 0.0f);
    EXPECT_NEAR(integratedLoudness(stereo(withSilence, 1.0f, 1.0f)), -20.0f, 0.1f);
    // K-weighting: bass counts for less, treble for more than 1 kHz.
    EXPECT_LT(integratedLoudness(stereo(sine(40.0f, 0.1f, 5 * kSampleRate), 1, 1)), -21.0f);
    EXPECT_GT(integratedLoudness(stereo(sine(5000.0f, 0.1f, 5 * kSampleRate), 1, 1)), -17.0f);
    EXPECT_LE(integratedLoudness(std::vector<float>(2 * kSampleRate, 0.0f)), -70.0f);
}
