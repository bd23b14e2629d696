#include "tools/synth/Sequencer.h"

#include "tools/synth/Dsp.h"
#include "tools/synth/Notation.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace synth {

namespace {

bool fail(std::string& error, const std::string& message) {
    error = message;
    return false;
}

bool parseAll(const Song& song, std::map<std::string, ParsedPattern>& parsed, std::string& error) {
    for (const Pattern& p : song.patterns) {
        ParsedPattern result;
        bool ok = p.notation == Notation::Steps ? parseSteps(p.text, result, error)
                                                : parseNotes(p.text, result, error);
        if (!ok)
            return fail(error, "pattern '" + p.name + "': " + error);
        if (result.lengthBeats <= 0.0)
            return fail(error, "pattern '" + p.name + "' is empty");
        parsed[p.name] = result;
    }
    return true;
}

int findTrack(const Song& song, const std::string& name) {
    for (size_t i = 0; i < song.tracks.size(); ++i)
        if (song.tracks[i].name == name)
            return (int)i;
    return -1;
}

// A different, fixed noise seed for every note.
uint32_t noteSeed(size_t index) {
    return (uint32_t)(index + 1) * 2654435761u ^ 0x1234567u;
}

} // namespace

int64_t beatToFrame(const Song& song, double beat) {
    return std::llround((beat - song.beatOffset) * 60.0 / song.beatsPerMinute * kSampleRate);
}

int64_t songFrames(const Song& song) {
    return beatToFrame(song, (double)song.lengthBars * song.beatsPerBar);
}

bool sequenceSong(const Song& song, std::vector<NoteEvent>& events, std::string& error) {
    events.clear();
    std::map<std::string, ParsedPattern> parsed;
    if (!parseAll(song, parsed, error))
        return false;

    for (const Placement& place : song.arrangement) {
        std::string where = "placement of '" + place.pattern + "' at bar " + std::to_string(place.bar);
        int track = findTrack(song, place.track);
        if (track < 0)
            return fail(error, where + ": no track '" + place.track + "'");
        auto found = parsed.find(place.pattern);
        if (found == parsed.end())
            return fail(error, where + ": no such pattern");
        if (place.bar < 0 || place.bars <= 0 || place.bar + place.bars > song.lengthBars)
            return fail(error, where + ": outside the song's " + std::to_string(song.lengthBars) + " bars");

        const ParsedPattern& pattern = found->second;
        double first = (double)place.bar * song.beatsPerBar;
        double span = (double)place.bars * song.beatsPerBar;
        for (double offset = 0.0; offset < span; offset += pattern.lengthBeats) {
            for (const PatternNote& n : pattern.notes) {
                double at = offset + n.beat;
                if (at >= span)
                    break;
                double end = first + std::min(at + n.length, span);
                float progress = (float)(at / span);
                NoteEvent e;
                e.track = track;
                e.start = beatToFrame(song, first + at);
                e.note.pitch = n.pitch;
                e.note.velocity = n.velocity;
                float ramp = place.brightnessTo - place.brightnessFrom;
                e.note.brightness = place.brightnessFrom + ramp * progress;
                e.note.gateFrames = (int)(beatToFrame(song, end) - e.start);
                e.gain = dbToGain(place.gainDb);
                events.push_back(e);
            }
        }
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const NoteEvent& a, const NoteEvent& b) { return a.start < b.start; });
    for (size_t i = 0; i < events.size(); ++i)
        events[i].note.seed = noteSeed(i);
    return true;
}

} // namespace synth
