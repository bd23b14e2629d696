#include "shell/LineUp.h"

#include "scenes/effects/SceneRaytracedNotes.h"
#include "scenes/raytracer/SceneRaytracerPolygons.h"
#include "shell/ShellState.h"

#include <memory>

namespace {

struct Entry {
    float startBeat;
    int sceneNumber;
};

const Entry kSchedule[] = {{0.0f, 1}, {48.0f, 2}, {112.0f, 3}, {176.0f, 4}, {240.0f, 5}, {kLastSceneBeat, 6}};

// The polygon scenes' ray-traced target: 800 wide (the side of the square target), 600 kept.
constexpr int kRenderWidth = 800;
constexpr int kRenderHeight = 600;

} // namespace

void createScenes() {
    for (const Entry& entry : kSchedule)
        timeline.add(entry.startBeat, entry.sceneNumber);
    // Each constructor loads its files and prints its progress line; scene 2 alone
    // has no depth of field, scene 4 alone three reflections and 8 frames per beat.
    // One scene is on screen at a time, so the five polygon scenes flatten through
    // one 16 MiB staging array instead of five.
    auto staging = std::make_shared<FlattenStaging>();
    scenes.set(1, new SceneRaytracerPolygons("models\\intro.3ds", 2.0f, kRenderWidth, kRenderHeight, 4, 16,
                                             staging));
    scenes.set(2, new SceneRaytracerPolygons("models\\spheres.3ds", 0.0f, kRenderWidth, kRenderHeight, 4, 16,
                                             staging));
    scenes.set(
        3, new SceneRaytracerPolygons("models\\ull1.3ds", 1.0f, kRenderWidth, kRenderHeight, 4, 16, staging));
    scenes.set(
        4, new SceneRaytracerPolygons("models\\test9.3ds", 1.0f, kRenderWidth, kRenderHeight, 3, 8, staging));
    scenes.set(5, new SceneRaytracedNotes());
    scenes.set(
        6, new SceneRaytracerPolygons("models\\info.3ds", 1.0f, kRenderWidth, kRenderHeight, 4, 16, staging));
}
