#include "shell/ShowLineUp.h"
#include "core/ErrorReport.h"

#include <cstdio>
#include <memory>

#include "scene/Scene.h"
#include "scenes/raytracer/FlattenStaging.h"
#include "scenes/raytracer/SceneRaytracerPolygons.h"
#include "shell/FrameStep.h"
#include "shell/LineUp.h"
#include "shell/RenderSettings.h"
#include "shell/SceneFiles.h"
#include "shell/ScenePreview.h"
#include "shell/ShellState.h"
#include "shell/ShowFile.h"

namespace {

std::unique_ptr<ShowFile> show;
// One scene is on screen at a time, so the polygon scenes of a show flatten through
// one staging array, as the built-in line-up's do.
std::shared_ptr<FlattenStaging> staging;

Scene* newShowScene(const ShowScene& s) {
    if (s.className == "SceneRaytracerPolygons")
        return new SceneRaytracerPolygons(runContext, s.argument.c_str(), s.dofStrength,
                                          effectiveRenderWidth(s.renderWidth), s.renderHeight,
                                          s.numReflections, s.framesPerBeat, staging);
    const PreviewClass* c = findPreviewClass(s.className);
    return c ? c->make(s.argument) : nullptr;
}

void placeShowScene(const ShowScene& s, const Tempo& tempo) {
    placeScene(s.slot, [&] { return newShowScene(s); });
    if (Scene* scene = scenes.get(s.slot))
        scene->setTempo(tempo);
}

void fillTimeline(const ShowFile& s) {
    timeline.clear();
    for (const ShowEntry& entry : s.timeline)
        timeline.add(entry.startBeat, entry.slot);
}

// Brings the schedule to the beat of `seconds` as frames from the start would: one
// entry per lookup until it stays.
void followToTime(float seconds) {
    startSchedule();
    float at = showTempo.beatAt(seconds);
    for (int i = 0; i < timeline.size(); ++i)
        followTimeline(at);
}

} // namespace

bool loadShow(const char* path) {
    std::unique_ptr<ShowFile> read(new ShowFile());
    std::string error;
    if (!readShowFile(path, read.get(), &error)) {
        reportError("%s\n", error.c_str());
        return false;
    }
    show = std::move(read);
    showTempo = show->tempo;
    musicFile = show->music;
    return true;
}

const ShowFile* loadedShow() {
    return show.get();
}

void createShowScenes(const ShowFile& s) {
    fillTimeline(s);
    startSchedule();
    if (!staging)
        staging = std::make_shared<FlattenStaging>();
    for (const ShowScene& scene : s.scenes)
        placeShowScene(scene, s.tempo);
}

bool reloadShow() {
    if (!show)
        return false;
    ShowFile next;
    std::string error;
    if (!readShowFile(show->path, &next, &error)) {
        reportError("%s\n", error.c_str());
        printf("The show file was not applied; the last good line-up keeps playing\n");
        return false;
    }
    if (next.music != show->music)
        printf("The music changed to %s: it plays from the next start; %s keeps playing\n",
               next.music.c_str(), show->music.c_str());
    next.music = show->music;
    int rebuilt = 0;
    for (int slot = 1; slot <= SceneTable::kSlots; ++slot) {
        const ShowScene* before = show->sceneInSlot(slot);
        const ShowScene* after = next.sceneInSlot(slot);
        if (before && after && before->sameScene(*after)) {
            if (Scene* kept = scenes.get(slot))
                kept->setTempo(next.tempo);
            continue;
        }
        if (!before && !after)
            continue;
        delete scenes.get(slot);
        placeScene(slot, [] { return (Scene*)nullptr; }); // forgets the files it watched
        if (after) {
            placeShowScene(*after, next.tempo);
            rebuilt += 1;
        }
    }
    showTempo = next.tempo;
    fillTimeline(next);
    *show = next;
    followToTime(musicTime);
    activateScene(currentScene);
    printf("Show reloaded at t=%.2f: %d timeline entries, rebuilt %d of %d scenes, %g beats per minute; "
           "scene %d on screen\n",
           musicTime, timeline.size(), rebuilt, (int)show->scenes.size(), showTempo.beatsPerMinute,
           currentScene);
    return true;
}

float showEndSeconds() {
    if (show)
        return show->tempo.secondsAt(show->endBeat());
    return beatsToSeconds(kShowEndBeat);
}
