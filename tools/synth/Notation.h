#pragma once
#include <string>
#include <vector>

// The text notation of the song's patterns.
//
// Step patterns (drums): one character per sixteenth note. '.' is a rest, 'x' a hit,
// 'X' an accent, '1' to '9' a hit at that many tenths of full velocity. Spaces and
// '|' are only for the eye.
//
// Note patterns (everything pitched), tokens separated by spaces:
//   A4/4    A above middle C, a quarter note; '#' or 'b' after the letter, octave 0..9
//   D3+F3+A3/1   a chord, a whole note
//   r/8     an eighth rest
//   C5/4.   dotted: one and a half times as long; C5/1*3 lasts three whole notes
//   E5/2!   accent; E5/2? soft
//   F4      no length: the length of the previous token (a quarter at the start)
//   [ D4/16 A4/16 ]*4   a group played four times
//   |       a bar line; it must fall on a whole bar, which catches miscounted bars
namespace synth {

struct PatternNote {
    double beat;   // from the start of the pattern, in quarter notes
    double length; // in quarter notes
    float pitch;   // MIDI note number; 0 in step patterns
    float velocity;
};

struct ParsedPattern {
    std::vector<PatternNote> notes; // in order of start
    double lengthBeats = 0.0;
};

// Both return false with a message naming the offending token or character.
bool parseSteps(const std::string& text, ParsedPattern& out, std::string& error);
bool parseNotes(const std::string& text, ParsedPattern& out, std::string& error);

// "C4" = 60, "A4" = 69, "Bb1" = 34; false for anything else.
bool parsePitch(const std::string& name, float& pitch);

} // namespace synth
