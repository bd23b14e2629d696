// Renders the show's music: synth --wav horn.wav --mp3 horn.mp3
#include "core/ErrorReport.h"
#include "tools/synth/AudioFile.h"
#include "tools/synth/Dsp.h"
#include "tools/synth/Loudness.h"
#include "tools/synth/Renderer.h"
#include "tools/synth/Sequencer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kMp3Kbps = 192;

void usage(FILE* to) {
    fprintf(to,
            "usage: synth [--wav FILE] [--mp3 FILE] [--lame PROGRAM] [--solo TRACK] [--to BEAT]\n"
            "Renders the demo's music track. --mp3 encodes with the lame program\n"
            "(%d kbit/s, 44.1 kHz stereo); --lame names it when it is not on PATH.\n"
            "--solo renders one track alone, --to stops early: for working on the song.\n",
            kMp3Kbps);
}

int fail(const std::string& message) {
    reportError("%s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    std::string wavPath, mp3Path, lame = "lame", solo;
    synth::RenderOptions options;
    for (int i = 1; i < argc; ++i) {
        bool hasValue = i + 1 < argc;
        if (!strcmp(argv[i], "--help")) {
            usage(stdout);
            return 0;
        } else if (!strcmp(argv[i], "--wav") && hasValue) {
            wavPath = argv[++i];
        } else if (!strcmp(argv[i], "--mp3") && hasValue) {
            mp3Path = argv[++i];
        } else if (!strcmp(argv[i], "--lame") && hasValue) {
            lame = argv[++i];
        } else if (!strcmp(argv[i], "--solo") && hasValue) {
            solo = argv[++i];
        } else if (!strcmp(argv[i], "--to") && hasValue) {
            options.endBeat = atof(argv[++i]);
        } else {
            usage(stderr);
            return fail(std::string("bad argument '") + argv[i] + "'");
        }
    }
    if (wavPath.empty() && mp3Path.empty()) {
        usage(stderr);
        return fail("nothing to write: give --wav or --mp3");
    }

    const synth::Song& song = synth::hornSong();
    printf("Rendering \"%s\": %d bars at %.0f BPM, %.2f s\n", song.title.c_str(), song.lengthBars,
           song.beatsPerMinute, synth::songFrames(song) / (double)synth::kSampleRate);
    for (size_t t = 0; t < song.tracks.size(); ++t)
        if (song.tracks[t].name == solo)
            options.soloTrack = (int)t;
    if (!solo.empty() && options.soloTrack < 0)
        return fail("no track '" + solo + "'");
    options.onSection = [](const synth::Section& s, double seconds) {
        printf("  %-8s bar %2d  %6.2f s\n", s.name.c_str(), s.bar, seconds);
        fflush(stdout);
    };
    std::vector<float> audio;
    std::string error;
    if (!synth::renderSong(song, options, audio, error))
        return fail(error);
    printf("Rendered %zu frames: peak %.2f dBFS, loudness %.1f LUFS\n", audio.size() / 2,
           synth::gainToDb(synth::samplePeak(audio)), synth::integratedLoudness(audio));

    std::vector<int16_t> pcm = synth::toPcm16(audio);
    if (!wavPath.empty()) {
        if (!synth::writeWavFile(wavPath, pcm, synth::kSampleRate, error))
            return fail(error);
        printf("Wrote %s\n", wavPath.c_str());
    }
    if (!mp3Path.empty()) {
        printf("Encoding %s with %s at %d kbit/s\n", mp3Path.c_str(), lame.c_str(), kMp3Kbps);
        fflush(stdout);
        if (!synth::encodeMp3File(mp3Path, pcm, synth::kSampleRate, kMp3Kbps, lame, error))
            return fail(error);
        printf("Wrote %s\n", mp3Path.c_str());
    }
    return 0;
}
