// "horn": the music of the show. D minor, 130 BPM, 92 bars. The sections turn where
// the show changes scene (bars 12, 28, 44, 60 and 76 = beats 48, 112, 176, 240, 304).
// Edit the patterns and the arrangement below; Notation.h describes the pattern text.
#include "core/MusicTime.h"
#include "tools/synth/Song.h"

namespace synth {

namespace {

using I = Instrument;
constexpr Notation S = Notation::Steps;
constexpr Notation N = Notation::Notes;

std::vector<Track> tracks() {
    // name, instrument, gain dB, pan, reverb send, echo send, ducking under the kick, mono
    return {{"kick", I::Kick, -3.0f, 0.0f, 0.0f, 0.0f, 0.0f},
            {"snare", I::Snare, -3.0f, 0.05f, 0.22f, 0.0f, 0.0f},
            {"hat", I::ClosedHat, -1.0f, 0.35f, 0.05f, 0.0f, 0.2f},
            {"openhat", I::OpenHat, -7.0f, -0.3f, 0.08f, 0.0f, 0.3f},
            {"crash", I::Crash, -10.0f, 0.0f, 0.2f, 0.0f, 0.0f},
            {"riser", I::Riser, -12.0f, 0.0f, 0.3f, 0.1f, 0.0f},
            {"bass", I::Bass, -3.5f, 0.0f, 0.0f, 0.0f, 0.6f, true},
            {"pad", I::Pad, -12.0f, 0.0f, 0.35f, 0.0f, 0.6f},
            {"pluck", I::Pluck, -15.0f, -0.25f, 0.15f, 0.35f, 0.35f},
            {"horn", I::Horn, -5.0f, 0.1f, 0.25f, 0.12f, 0.1f, true},
            {"horn2", I::Horn, -9.0f, -0.4f, 0.3f, 0.05f, 0.1f, true}};
}

std::vector<Pattern> patterns() {
    return {
        // Drums, one character per sixteenth.
        {"kick4", S, "X...X...X...X..."},
        {"snare24", S, "....X.......X..."},
        {"snareFill", S, "....X...3.5.X6X9"},
        {"snareRoll", S, "4...5...5.5.6.6.|6.6.7.7.7777889X"},
        {"hatIntro", S, "..5...5...5...5."},
        {"hatOff", S, "..x...x...x...x."},
        {"hat16", S, "4373437343734373"},
        {"openhatOff", S, "..x...x...x...x."},
        {"crash", S, "X..............."},
        {"riser4", N, "C4/1*4"},

        // Chords: i - VI - III - VII, one bar each; the break borrows iv and V.
        {"padA", N, "D3+A3+D4+F4/1 | Bb2+F3+Bb3+D4/1 | F3+A3+C4+F4/1 | C3+G3+C4+E4/1 |"},
        {"padBreak", N,
         "G2+D3+G3+Bb3+D4/1*2 | Bb2+F3+Bb3+D4+F4/1*2 | F2+C3+F3+A3+C4/1*2 | A2+E3+A3+C#4+E4/1*2 |"},
        {"padEnd", N, "D3+A3+D4+F4+A4/1*3 r/1 |"},

        {"bassOff", N, "[ r/8 D2/8 ]*4 | [ r/8 Bb1/8 ]*4 | [ r/8 F2/8 ]*4 | [ r/8 C2/8 ]*4 |"},
        {"bassRoll", N,
         "[ r/16 D2/16 D2/16 D3/16 ]*4 | [ r/16 Bb1/16 Bb1/16 Bb2/16 ]*4 | "
         "[ r/16 F2/16 F2/16 F3/16 ]*4 | [ r/16 C2/16 C2/16 C3/16 ]*4 |"},
        {"bassBreak", N, "G1/1*2 | Bb1/1*2 | F1/1*2 | A1/1*2 |"},

        {"arpA", N,
         "[ D4/16 A4/16 F4/16 A4/16 ]*4 | [ D4/16 Bb4/16 F4/16 Bb4/16 ]*4 | "
         "[ C4/16 A4/16 F4/16 A4/16 ]*4 | [ C4/16 G4/16 E4/16 G4/16 ]*4 |"},
        {"arpBreak", N,
         "[ G4/16 D5/16 Bb4/16 D5/16 ]*8 | [ F4/16 D5/16 Bb4/16 D5/16 ]*8 | "
         "[ F4/16 C5/16 A4/16 C5/16 ]*8 | [ E4/16 C#5/16 A4/16 C#5/16 ]*8 |"},

        // The horn: a call, the two themes, the break's song and the farewell.
        {"hornCall", N, "r/2 A3/8 D4/8 A4/4 | D5/2. C5/8 Bb4/8 | A4/2. C5/4 | G4/1? |"},
        {"themeA", N,
         "A4/4.! A4/8 D5/4 C5/4 | Bb4/4. A4/8 F4/2 | C5/4.! C5/8 F5/4 E5/4 | E5/4. D5/8 C5/2 | "
         "A4/4.! A4/8 D5/4 C5/4 | Bb4/4. A4/8 F4/2 | C5/4. A4/8 C5/4 D5/4 | E5/1! |"},
        {"themeAHarmony", N,
         "F4/4. F4/8 A4/4 A4/4 | F4/4. F4/8 D4/2 | A4/4. A4/8 C5/4 C5/4 | G4/4. G4/8 E4/2 | "
         "F4/4. F4/8 A4/4 A4/4 | F4/4. F4/8 D4/2 | A4/4. F4/8 A4/4 Bb4/4 | C5/1 |"},
        {"themeB", N,
         "D5/8! D5/16 D5/16 F5/8 D5/8 C5/4 A4/4 | Bb4/8! Bb4/16 Bb4/16 D5/8 Bb4/8 A4/2 | "
         "A4/8! A4/16 A4/16 C5/8 A4/8 G4/4 F4/4 | G4/4. A4/8 E4/2 | "
         "D5/8! D5/16 D5/16 F5/8 D5/8 C5/4 A4/4 | Bb4/8! Bb4/16 Bb4/16 D5/8 Bb4/8 A4/2 | "
         "A4/8! A4/16 A4/16 C5/8 A4/8 G4/4 F4/4 | G4/8 A4/8 C5/8 D5/8 E5/2! |"},
        {"themeBHarmony", N,
         "A4/8 A4/16 A4/16 D5/8 A4/8 A4/4 F4/4 | F4/8 F4/16 F4/16 Bb4/8 F4/8 F4/2 | "
         "F4/8 F4/16 F4/16 A4/8 F4/8 E4/4 C4/4 | E4/4. F4/8 C4/2 | "
         "A4/8 A4/16 A4/16 D5/8 A4/8 A4/4 F4/4 | F4/8 F4/16 F4/16 Bb4/8 F4/8 F4/2 | "
         "F4/8 F4/16 F4/16 A4/8 F4/8 E4/4 C4/4 | E4/8 F4/8 G4/8 A4/8 C5/2 |"},
        {"themeBreak", N,
         "D5/2. Bb4/4 | G4/1 | F4/4 Bb4/4 D5/4 F5/4 | D5/1 | "
         "C5/2. A4/4 | F4/2 A4/4 C5/4 | C#5/1 | E5/2 r/2 |"},
        {"hornOutro", N, "r/2 A3/8 D4/8 A4/4 | D5/2. C5/8 Bb4/8 | A4/2. G4/8 F4/8 | E4/1 | D4/1*3 | r/1 |"},
    };
}

std::vector<Placement> arrangement() {
    // track, pattern, first bar, bars, gain dB, brightness from, to
    return {
        // Intro, bars 0-11: the chords rise out of the dark, the horn calls, the beat arrives.
        {"pad", "padA", 0, 12, -3.0f, 0.1f, 0.8f},
        {"hat", "hatIntro", 4, 8, -6.0f},
        {"horn", "hornCall", 4, 8, -2.0f, 0.5f, 0.9f},
        {"kick", "kick4", 8, 4, -3.0f},
        {"pluck", "arpA", 8, 4, -4.0f, 0.2f, 0.6f},
        {"riser", "riser4", 8, 4},
        {"snare", "snareFill", 11, 1},

        // Rise, bars 12-27: full beat and bass, the horn states theme A twice.
        {"crash", "crash", 12, 1},
        {"kick", "kick4", 12, 16},
        {"snare", "snare24", 12, 15},
        {"snare", "snareFill", 27, 1},
        {"hat", "hatOff", 12, 16},
        {"bass", "bassOff", 12, 16},
        {"pad", "padA", 12, 16, 0.0f, 0.8f, 0.8f},
        {"horn", "themeA", 12, 16, 0.0f, 0.8f, 1.0f},

        // Drive, bars 28-43: rolling bass, sixteenth hats, the arpeggio and theme B.
        {"crash", "crash", 28, 1},
        {"kick", "kick4", 28, 16},
        {"snare", "snare24", 28, 14},
        {"snare", "snareRoll", 42, 2},
        {"hat", "hat16", 28, 16},
        {"openhat", "openhatOff", 28, 16, -2.0f},
        {"bass", "bassRoll", 28, 16},
        {"pad", "padA", 28, 16, -3.0f, 0.9f, 0.9f},
        {"pluck", "arpA", 28, 16, 0.0f, 0.5f, 1.0f},
        {"horn", "themeB", 28, 16},
        {"riser", "riser4", 40, 4},

        // Break, bars 44-59: no drums; the horn sings over iv - VI - III - V, then the
        // arpeggio and the roll build towards the peak.
        {"crash", "crash", 44, 1, -4.0f},
        {"pad", "padBreak", 44, 16, 0.0f, 0.3f, 1.0f},
        {"horn", "themeBreak", 44, 8, -2.0f, 0.5f, 0.5f},
        {"horn", "themeBreak", 52, 8, 0.0f, 0.9f, 0.9f},
        {"bass", "bassBreak", 52, 8, -4.0f},
        {"pluck", "arpBreak", 52, 8, -3.0f, 0.2f, 0.9f},
        {"hat", "hatIntro", 56, 4},
        {"riser", "riser4", 56, 4},
        {"snare", "snareRoll", 58, 2},

        // Peak, bars 60-75: everything, both themes in two horns.
        {"crash", "crash", 60, 1},
        {"crash", "crash", 68, 1},
        {"kick", "kick4", 60, 16},
        {"snare", "snare24", 60, 7},
        {"snare", "snareFill", 67, 1},
        {"snare", "snare24", 68, 7},
        {"snare", "snareFill", 75, 1},
        {"hat", "hat16", 60, 16},
        {"openhat", "openhatOff", 60, 16},
        {"bass", "bassRoll", 60, 16},
        {"pad", "padA", 60, 16},
        {"pluck", "arpA", 60, 16, -2.0f},
        {"horn", "themeA", 60, 8, 1.0f},
        {"horn", "themeB", 68, 8, 1.0f},
        {"horn2", "themeAHarmony", 60, 8},
        {"horn2", "themeBHarmony", 68, 8},

        // Outro, bars 76-91: the beat for eight bars more, theme A once, the horn's
        // farewell over a last D minor chord.
        {"crash", "crash", 76, 1},
        {"kick", "kick4", 76, 8},
        {"snare", "snare24", 76, 8, -2.0f},
        {"hat", "hatOff", 76, 8},
        {"bass", "bassOff", 76, 8},
        {"pad", "padA", 76, 12, 0.0f, 1.0f, 0.4f},
        {"pad", "padEnd", 88, 4, 0.0f, 0.4f, 0.1f},
        {"pluck", "arpA", 76, 8, -4.0f, 1.0f, 0.3f},
        {"horn", "themeA", 76, 8, -1.0f},
        {"horn", "hornOutro", 84, 8},
    };
}

Song makeHornSong() {
    Song song;
    song.title = "horn";
    song.beatsPerMinute = kBeatsPerMinute;
    song.beatOffset = kBeatOffset;
    song.beatsPerBar = 4;
    song.lengthBars = 92;
    song.masterGainDb = -6.4f;
    song.tracks = tracks();
    song.patterns = patterns();
    song.arrangement = arrangement();
    song.sections = {{"intro", 0}, {"rise", 12}, {"drive", 28}, {"break", 44}, {"peak", 60}, {"outro", 76}};
    return song;
}

} // namespace

const Song& hornSong() {
    static const Song song = makeHornSong();
    return song;
}

} // namespace synth
