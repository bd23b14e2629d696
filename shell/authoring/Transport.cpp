#include "shell/authoring/Transport.h"

#include <cstdio>
#include <cstring>

#include "core/MusicTime.h"
#include "shell/FrameStep.h"
#include "shell/SceneFiles.h"
#include "shell/ShellState.h"
#include "shell/authoring/BarGrid.h"

namespace {

// Positions fall on whole sample frames, rounded down: a seek aims this much
// late so that it lands on or just after its bar, never a sample before (which
// would still be the previous bar, or the previous scene).
const float kLandingSeconds = 0.0005f;

TransportState state;

float heardSeconds() {
    return (float)audio->bytesToSeconds(music, audio->position(music));
}

void say(const char* what) {
    printf("%s t=%.2f\n", what, musicTime);
    fflush(stdout);
}

// Moves to `seconds` unless that is at or past the end of the track (which would
// end the show); true when it moved.
bool seekWithinTrack(float seconds) {
    if (seconds < 0)
        seconds = 0;
    if (seconds + kLandingSeconds >= trackSeconds()) {
        musicTime = heardSeconds();
        return false;
    }
    seekMusic(seconds);
    return true;
}

} // namespace

void resetTransport() {
    state = TransportState();
}

const TransportState& transportState() {
    return state;
}

float trackSeconds() {
    return (float)audio->bytesToSeconds(music, audio->length(music));
}

float seekMusic(float seconds) {
    audio->setPosition(music, audio->secondsToBytes(music, seconds + kLandingSeconds));
    musicTime = heardSeconds();
    beat = showTempo.beatAt(musicTime);
    // As a capture range replays it: from the first entry, one step per lookup,
    // as many lookups as there are entries.
    startSchedule();
    for (int i = 0; i < timeline.size(); ++i)
        followTimeline(beat);
    sceneTime = musicTime - sceneStart;
    activateScene(currentScene);
    return musicTime;
}

void togglePause() {
    musicTime = heardSeconds();
    if (state.paused)
        audio->play(music, false);
    else
        audio->pause(music);
    state.paused = !state.paused;
    say(state.paused ? "Paused" : "Playing");
}

void stepBar(int direction) {
    int bar = barStep(showTempo.beatAt(heardSeconds()), direction);
    if (bar < 0)
        bar = 0;
    char what[64];
    if (seekWithinTrack(showTempo.secondsAt((float)(bar * kBeatsPerBar))))
        snprintf(what, sizeof(what), "Bar %d", bar);
    else
        snprintf(what, sizeof(what), "Bar %d is past the end of the track;", bar);
    say(what);
}

void stepEntry(int direction) {
    if (timeline.size() == 0)
        return;
    float now = showTempo.beatAt(heardSeconds());
    int entry = entryStep(timeline, now, direction);
    char what[96];
    snprintf(what, sizeof(what), "Entry %d of %d, scene %d", entry + 1, timeline.size(),
             timeline.sceneNumber(entry));
    // Page down in the last entry stays where it is; page up in the first goes to its start.
    if (direction > 0 && entry == entryAt(timeline, now)) {
        musicTime = heardSeconds();
        snprintf(what + strlen(what), sizeof(what) - strlen(what), " is the last;");
    } else {
        seekWithinTrack(sceneStartSeconds(timeline.startBeat(entry)));
    }
    say(what);
}

void toggleLoop() {
    musicTime = heardSeconds();
    if (state.looping || timeline.size() == 0) {
        state.looping = false;
        say("Loop off");
        return;
    }
    // The entry on screen is the timeline's cursor (a number key's scene is not an entry).
    int entry = timeline.position();
    state.loopStart = sceneStartSeconds(timeline.startBeat(entry));
    state.loopEnd =
        entry + 1 < timeline.size() ? showTempo.secondsAt(timeline.startBeat(entry + 1)) : trackSeconds();
    state.looping = true;
    char what[96];
    snprintf(what, sizeof(what), "Looping entry %d (%.2f s to %.2f s)", entry + 1, state.loopStart,
             state.loopEnd);
    say(what);
}

void seekTo(float seconds) {
    seekWithinTrack(seconds);
    say("Seek");
}

void keepLooping() {
    if (!state.looping)
        return;
    uint64_t position = audio->position(music);
    float seconds = (float)audio->bytesToSeconds(music, position);
    if (seconds < state.loopEnd && position < audio->length(music))
        return;
    seekMusic(state.loopStart);
    say("Loop back");
}
