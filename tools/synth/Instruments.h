#pragma once
#include "tools/synth/Voice.h"

#include <memory>

namespace synth {

enum class Instrument { Kick, Snare, ClosedHat, OpenHat, Crash, Riser, Bass, Pad, Pluck, Horn };

// A new voice of `instrument` playing `note`.
std::unique_ptr<Voice> makeVoice(Instrument instrument, const NoteParams& note);

// The voices behind makeVoice, one file per family.
std::unique_ptr<Voice> makeHornVoice(const NoteParams& note);
std::unique_ptr<Voice> makeKickVoice(const NoteParams& note);
std::unique_ptr<Voice> makeSnareVoice(const NoteParams& note);
std::unique_ptr<Voice> makeHatVoice(const NoteParams& note, bool open);
std::unique_ptr<Voice> makeCrashVoice(const NoteParams& note);
std::unique_ptr<Voice> makeRiserVoice(const NoteParams& note);
std::unique_ptr<Voice> makeBassVoice(const NoteParams& note);
std::unique_ptr<Voice> makePadVoice(const NoteParams& note);
std::unique_ptr<Voice> makePluckVoice(const NoteParams& note);

} // namespace synth
