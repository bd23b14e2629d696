#include "tools/synth/Renderer.h"

#include "tools/synth/Delay.h"
#include "tools/synth/Dsp.h"
#include "tools/synth/Filter.h"
#include "tools/synth/Limiter.h"
#include "tools/synth/Reverb.h"
#include "tools/synth/Sequencer.h"

#include <algorithm>
#include <memory>

namespace synth {

namespace {

constexpr int kBlockFrames = 256;
constexpr float kDuckAttackSeconds = 0.002f;
constexpr float kDuckReleaseSeconds = 0.07f;
constexpr float kDuckLengthSeconds = 0.4f;
constexpr double kEchoBeats = 0.75; // a dotted eighth
constexpr float kEchoFeedback = 0.4f;
constexpr float kFadeOutBeats = 1.0f;
// How quickly a note on a mono track gives way to the next one.
constexpr int kChokeFrames = 1323; // 30 ms

struct Bus {
    std::vector<float> left = std::vector<float>(kBlockFrames);
    std::vector<float> right = std::vector<float>(kBlockFrames);
    void clear() {
        std::fill(left.begin(), left.end(), 0.0f);
        std::fill(right.begin(), right.end(), 0.0f);
    }
};

struct Playing {
    std::unique_ptr<Voice> voice;
    int track;
    float gain;
    int offset;         // first frame within the current block
    int chokeFrom = -1; // frame within the block where its cut-off fade begins
    int fadeLeft = kChokeFrames;
};

// How far ducked tracks dip, from 1 at a kick's start fading to 0.
std::vector<float> duckCurve() {
    int attack = secondsToFrames(kDuckAttackSeconds);
    std::vector<float> curve((size_t)secondsToFrames(kDuckLengthSeconds));
    for (size_t i = 0; i < curve.size(); ++i)
        curve[i] = (int)i < attack ? (float)i / attack
                                   : std::exp(-((int)i - attack) / (kDuckReleaseSeconds * kSampleRate));
    return curve;
}

// Mixing state of a render: voices, per-track buses and the effect sends.
class Mixer {
  public:
    Mixer(const Song& song, std::vector<int64_t> kicks)
        : song(song), trackBuses(song.tracks.size()), kicks(std::move(kicks)), curve(duckCurve()),
          echo(std::max<int>(1, (int)(beatToFrame(song, kEchoBeats) - beatToFrame(song, 0.0))), kEchoFeedback,
               2500.0f),
          reverb(0.82f, 0.45f), echoSend(kBlockFrames) {
        for (const Track& t : song.tracks) {
            pans.push_back(panGains(t.pan));
            gains.push_back(dbToGain(t.gainDb));
        }
    }

    // Starts a note; one that began before `blockStart` is run silently up to it.
    void start(const NoteEvent& e, int64_t blockStart) {
        Playing p{makeVoice(song.tracks[e.track].instrument, e.note), e.track, e.gain, 0};
        int offset = (int)std::max<int64_t>(0, e.start - blockStart);
        if (song.tracks[e.track].mono)
            for (Playing& other : playing)
                if (other.track == e.track && other.chokeFrom < 0)
                    other.chokeFrom = offset;
        for (int64_t skip = blockStart - e.start; skip > 0; skip -= kBlockFrames) {
            int n = (int)std::min<int64_t>(skip, kBlockFrames);
            scratch.clear();
            if (!p.voice->render(scratch.left.data(), scratch.right.data(), n))
                return;
        }
        p.offset = offset;
        playing.push_back(std::move(p));
    }

    // Renders one block of up to kBlockFrames frames starting at `blockStart`.
    void block(int64_t blockStart, int n, float* out) {
        for (Bus& t : trackBuses)
            t.clear();
        runVoices(n);
        master.clear();
        send.clear();
        std::fill(echoSend.begin(), echoSend.end(), 0.0f);
        for (int i = 0; i < n; ++i)
            duckBlock[i] = duckDepth(blockStart + i);
        for (size_t t = 0; t < trackBuses.size(); ++t)
            mixTrack(t, n);
        echo.process(echoSend.data(), master.left.data(), master.right.data(), n);
        reverb.process(send.left.data(), send.right.data(), master.left.data(), master.right.data(), n);
        for (int i = 0; i < n; ++i) {
            out[2 * i] = master.left[i];
            out[2 * i + 1] = master.right[i];
        }
    }

  private:
    void runVoices(int n) {
        for (Playing& p : playing) {
            scratch.clear();
            float* left = scratch.left.data() + p.offset;
            bool alive = p.voice->render(left, scratch.right.data() + p.offset, n - p.offset);
            if (p.chokeFrom >= 0)
                alive = fadeOut(p, n) && alive;
            Bus& bus = trackBuses[p.track];
            for (int i = p.offset; i < n; ++i) {
                bus.left[i] += scratch.left[i] * p.gain;
                bus.right[i] += scratch.right[i] * p.gain;
            }
            p.offset = 0;
            if (!alive)
                p.voice.reset();
        }
        auto silent = [](const Playing& p) { return !p.voice; };
        playing.erase(std::remove_if(playing.begin(), playing.end(), silent), playing.end());
    }

    // Fades a cut-off voice's block in `scratch`; false once it is silent.
    bool fadeOut(Playing& p, int n) {
        for (int i = p.chokeFrom; i < n; ++i) {
            float g = p.fadeLeft > 0 ? (float)p.fadeLeft-- / kChokeFrames : 0.0f;
            scratch.left[i] *= g;
            scratch.right[i] *= g;
        }
        p.chokeFrom = 0;
        return p.fadeLeft > 0;
    }

    // How deep ducked tracks dip at `frame`; frames must come in increasing order.
    float duckDepth(int64_t frame) {
        while (nextKick < kicks.size() && kicks[nextKick] <= frame)
            ++nextKick;
        if (nextKick == 0)
            return 0.0f;
        int64_t since = frame - kicks[nextKick - 1];
        return since < (int64_t)curve.size() ? curve[(size_t)since] : 0.0f;
    }

    void mixTrack(size_t t, int n) {
        const Track& def = song.tracks[t];
        const Bus& bus = trackBuses[t];
        // Constant-power pan is -3 dB in the centre; make the centre unity instead.
        const float left = gains[t] * pans[t].left * 1.41421356f;
        const float right = gains[t] * pans[t].right * 1.41421356f;
        for (int i = 0; i < n; ++i) {
            float duck = 1.0f - def.duck * duckBlock[i];
            float l = bus.left[i] * left * duck;
            float r = bus.right[i] * right * duck;
            master.left[i] += l;
            master.right[i] += r;
            send.left[i] += l * def.reverbSend;
            send.right[i] += r * def.reverbSend;
            echoSend[i] += 0.5f * (l + r) * def.delaySend;
        }
    }

    const Song& song;
    std::vector<Bus> trackBuses;
    std::vector<PanGains> pans;
    std::vector<float> gains;
    std::vector<int64_t> kicks;
    size_t nextKick = 0;
    std::vector<float> curve;
    std::vector<Playing> playing;
    PingPongDelay echo;
    Reverb reverb;
    Bus master, send, scratch;
    std::vector<float> echoSend;
    std::vector<float> duckBlock = std::vector<float>(kBlockFrames);
};

std::vector<int64_t> kickFrames(const Song& song, const std::vector<NoteEvent>& events) {
    std::vector<int64_t> kicks;
    for (const NoteEvent& e : events)
        if (song.tracks[e.track].instrument == Instrument::Kick)
            kicks.push_back(e.start);
    return kicks;
}

// Removes DC, applies the master gain and the limiter, and fades the last beat out so
// the reverb tail never stops with a click.
void finish(const Song& song, std::vector<float>& out) {
    OnePole dc[2] = {OnePole(20.0f), OnePole(20.0f)};
    float gain = dbToGain(song.masterGainDb);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = dc[i & 1].highpass(out[i]) * gain;
    limitPeaks(out, dbToGain(kCeilingDb), 0.003f, 0.08f);
    size_t fade = (size_t)(kFadeOutBeats * 60.0 / song.beatsPerMinute * kSampleRate);
    size_t frames = out.size() / 2;
    fade = std::min(fade, frames);
    for (size_t i = 0; i < fade; ++i) {
        float g = (float)i / fade;
        out[2 * (frames - 1 - i)] *= g;
        out[2 * (frames - 1 - i) + 1] *= g;
    }
}

} // namespace

bool renderSong(const Song& song, const RenderOptions& options, std::vector<float>& out, std::string& error) {
    std::vector<NoteEvent> events;
    if (!sequenceSong(song, events, error))
        return false;
    int64_t total = options.endBeat > 0.0 ? beatToFrame(song, options.endBeat) : songFrames(song);
    total = std::max<int64_t>(total, 0);

    Mixer mixer(song, kickFrames(song, events));
    out.assign((size_t)total * 2, 0.0f);
    size_t nextEvent = 0, nextSection = 0;
    for (int64_t blockStart = 0; blockStart < total; blockStart += kBlockFrames) {
        int n = (int)std::min<int64_t>(kBlockFrames, total - blockStart);
        for (; nextSection < song.sections.size(); ++nextSection) {
            const Section& s = song.sections[nextSection];
            int64_t at = beatToFrame(song, (double)s.bar * song.beatsPerBar);
            if (at >= blockStart + n)
                break;
            if (options.onSection)
                options.onSection(s, std::max<int64_t>(at, 0) / (double)kSampleRate);
        }
        for (; nextEvent < events.size() && events[nextEvent].start < blockStart + n; ++nextEvent)
            if (options.soloTrack < 0 || events[nextEvent].track == options.soloTrack)
                mixer.start(events[nextEvent], blockStart);
        mixer.block(blockStart, n, out.data() + 2 * blockStart);
    }
    finish(song, out);
    return true;
}

} // namespace synth
