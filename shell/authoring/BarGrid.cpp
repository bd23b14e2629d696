#include "shell/authoring/BarGrid.h"

#include <cmath>

#include "shell/Timeline.h"

int barStep(float beat, int direction) {
    if (direction > 0)
        return (int)std::floor((beat + kOnBeatSlack) / kBeatsPerBar) + 1;
    return (int)std::ceil((beat - kOnBeatSlack) / kBeatsPerBar) - 1;
}

int barOf(float beat) {
    return (int)std::floor((beat + kOnBeatSlack) / kBeatsPerBar);
}

float beatInBar(float beat) {
    float within = beat - (float)barOf(beat) * kBeatsPerBar;
    return within < 0 ? 0.0f : within;
}

int entryAt(const Timeline& timeline, float beat) {
    int entry = 0;
    for (int i = 1; i < timeline.size(); ++i)
        if (timeline.startBeat(i) <= beat)
            entry = i;
    return entry;
}

int entryStep(const Timeline& timeline, float beat, int direction) {
    int entry = entryAt(timeline, beat) + (direction > 0 ? 1 : -1);
    if (entry < 0)
        return 0;
    return entry < timeline.size() ? entry : timeline.size() - 1;
}
