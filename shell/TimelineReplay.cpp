#include "shell/TimelineReplay.h"

#include "core/MusicTime.h"
#include "shell/FrameClock.h"
#include "shell/FrameStep.h"
#include "shell/ShellState.h"

void replayTimeline(int64_t frames, const FrameClock& clock) {
    for (int64_t k = 0; k < frames; ++k) {
        float seconds = (float)audio->bytesToSeconds(music, clock.position(k));
        followTimeline(showTempo.beatAt(seconds));
    }
}
