#include "shell/LineUp.h"

#include "core/Inspector.h"
#include "scenes/effects/SceneRaytracedNotes.h"
#include "scenes/raytracer/SceneRaytracerPolygons.h"
#include "shell/RenderSettings.h"
#include "shell/SceneFiles.h"
#include "shell/ShellState.h"
#include "shell/ShowFile.h"

#include <cstring>
#include <strings.h>

namespace {

struct Entry {
    float startBeat;
    int sceneNumber;
};

const Entry kSchedule[] = {{0.0f, 1}, {48.0f, 2}, {112.0f, 3}, {176.0f, 4}, {240.0f, 5}, {kLastSceneBeat, 6}};

constexpr int kRenderHeight = 600;

// Constructor arguments of a polygon scene besides the render target size.
struct PolygonArgs {
    const char* fileName;
    float dofStrength;
    int numReflections;
    int framesPerBeat;
};

// By scene number, from 1; no file: the credits scene. Scene 2 alone has no depth of
// field, scene 4 alone three reflections and 8 frames per beat.
const PolygonArgs kScenes[kLineUpScenes] = {{"models\\intro.3ds", 2.0f, 4, 16},
                                            {"models\\spheres.3ds", 0.0f, 4, 16},
                                            {"models\\ull1.3ds", 1.0f, 4, 16},
                                            {"models\\test9.3ds", 1.0f, 3, 8},
                                            {nullptr, 0.0f, 0, 0},
                                            {"models\\info.3ds", 1.0f, 4, 16}};

// What most polygon scenes of the show take besides their file (scene 3's).
const PolygonArgs kTypicalPolygonScene = {nullptr, 1.0f, 4, 16};

Scene* newPolygon(const char* fileName, const PolygonArgs& args, std::shared_ptr<FlattenStaging> staging) {
    return new SceneRaytracerPolygons(runContext, fileName, args.dofStrength,
                                      effectiveRenderWidth(kRenderWidth), kRenderHeight, args.numReflections,
                                      args.framesPerBeat, std::move(staging));
}

} // namespace

Scene* newLineUpScene(int sceneNumber, const std::shared_ptr<FlattenStaging>& staging) {
    if (sceneNumber < 1 || sceneNumber > kLineUpScenes)
        return nullptr;
    const PolygonArgs& args = kScenes[sceneNumber - 1];
    if (!args.fileName)
        return new SceneRaytracedNotes(runContext);
    return newPolygon(args.fileName, args, staging);
}

Scene* newPolygonScene(const char* fileName) {
    return newPolygon(fileName, kTypicalPolygonScene, nullptr);
}

float lineUpStartBeat(int sceneNumber) {
    for (const Entry& entry : kSchedule)
        if (entry.sceneNumber == sceneNumber)
            return entry.startBeat;
    return 0.0f;
}

ShowFile builtInShow() {
    ShowFile show;
    for (const Entry& entry : kSchedule) {
        ShowEntry e;
        e.startBeat = entry.startBeat;
        e.slot = entry.sceneNumber;
        show.timeline.push_back(e);
    }
    for (int n = 1; n <= kLineUpScenes; ++n) {
        const PolygonArgs& args = kScenes[n - 1];
        ShowScene s;
        s.slot = n;
        if (!args.fileName) {
            s.className = "SceneRaytracedNotes";
        } else {
            s.className = "SceneRaytracerPolygons";
            s.argument = args.fileName;
            s.argumentGiven = true;
            s.dofStrength = args.dofStrength;
            s.renderWidth = kRenderWidth;
            s.renderHeight = kRenderHeight;
            s.numReflections = args.numReflections;
            s.framesPerBeat = args.framesPerBeat;
        }
        show.scenes.push_back(s);
    }
    return show;
}

void createScenes() {
    for (const Entry& entry : kSchedule)
        timeline.add(entry.startBeat, entry.sceneNumber);
    // Each constructor loads its files and prints its progress line. One scene is on
    // screen at a time, so the five polygon scenes flatten through one 16 MiB staging
    // array instead of five.
    auto staging = std::make_shared<FlattenStaging>();
    for (int n = 1; n <= kLineUpScenes; ++n)
        placeScene(n, [&] { return newLineUpScene(n, staging); });
}

ShowPace showPaceOf(const char* path) {
    ShowPace pace;
    const char* slash = path ? strrchr(path, '/') : nullptr;
    const char* name = slash ? slash + 1 : path ? path : "";
    const size_t entries = sizeof kSchedule / sizeof kSchedule[0];
    for (size_t i = 0; i < entries; ++i) {
        const PolygonArgs& args = kScenes[kSchedule[i].sceneNumber - 1];
        if (!args.fileName || strcasecmp(strrchr(args.fileName, '\\') + 1, name) != 0)
            continue;
        float end = i + 1 < entries ? kSchedule[i + 1].startBeat : kShowEndBeat;
        pace.scene = kSchedule[i].sceneNumber;
        pace.framesPerBeat = args.framesPerBeat;
        pace.beats = end - kSchedule[i].startBeat;
        break;
    }
    return pace;
}
