#include "tools/synth/Instruments.h"

namespace synth {

std::unique_ptr<Voice> makeVoice(Instrument instrument, const NoteParams& note) {
    switch (instrument) {
    case Instrument::Kick:
        return makeKickVoice(note);
    case Instrument::Snare:
        return makeSnareVoice(note);
    case Instrument::ClosedHat:
        return makeHatVoice(note, false);
    case Instrument::OpenHat:
        return makeHatVoice(note, true);
    case Instrument::Crash:
        return makeCrashVoice(note);
    case Instrument::Riser:
        return makeRiserVoice(note);
    case Instrument::Bass:
        return makeBassVoice(note);
    case Instrument::Pad:
        return makePadVoice(note);
    case Instrument::Pluck:
        return makePluckVoice(note);
    case Instrument::Horn:
        return makeHornVoice(note);
    }
    return nullptr;
}

} // namespace synth
