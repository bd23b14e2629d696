#include "shell/LineUp.h"

#include "scene/Scene.h"
#include "shell/ShellState.h"

namespace {

struct Entry {
    float startBeat;
    int sceneNumber;
};

const Entry kSchedule[] = {{0.0f, 1}, {48.0f, 2}, {112.0f, 3}, {176.0f, 4}, {240.0f, 5}, {kLastSceneBeat, 6}};

} // namespace

void createScenes() {
    for (const Entry& entry : kSchedule)
        timeline.add(entry.startBeat, entry.sceneNumber);
    // Until the show's own scenes exist, each slot holds a scene that draws nothing.
    for (int sceneNumber = 1; sceneNumber <= 6; ++sceneNumber)
        scenes.set(sceneNumber, new Scene());
}
