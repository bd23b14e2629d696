#include "shell/Bench.h"

#include <GL/glew.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>
#include <unistd.h>

#include "core/MusicTime.h"
#include "scene/HeadlessContext.h"
#include "scene/PassTimer.h"
#include "scene/Scene.h"
#include "scenes/raytracer/SceneRaytracerPolygons.h"
#include "shell/BenchFrames.h"
#include "shell/BenchReport.h"
#include "shell/Callbacks.h"
#include "shell/FrameClock.h"
#include "shell/FrameStep.h"
#include "shell/HeadlessStart.h"
#include "shell/LineUp.h"
#include "shell/OpenAlMusic.h"
#include "shell/RenderSettings.h"
#include "shell/ShellState.h"
#include "shell/ShowLineUp.h"
#include "shell/Startup.h"
#include "shell/TimelineReplay.h"

namespace {

using Clock = std::chrono::steady_clock;
const int kFramesPerScene = 30;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string className(const Scene* scene) {
    int status = 0;
    char* name = abi::__cxa_demangle(typeid(*scene).name(), nullptr, nullptr, &status);
    std::string result = status == 0 && name ? name : typeid(*scene).name();
    free(name);
    return result;
}

// The first frame of each scene on the timeline, in order of appearance.
std::vector<std::pair<int, int64_t>> sceneEntrances(const FrameClock& clock, int64_t total) {
    int64_t start = clock.firstFrameAt(sceneStart); // 0 but for a preview of a later scene
    std::vector<std::pair<int, int64_t>> entrances = {{currentScene, start}};
    for (int64_t k = start; k < total; ++k)
        if (followTimeline(showTempo.beatAt((float)audio->bytesToSeconds(music, clock.position(k)))))
            entrances.push_back({currentScene, k});
    startSchedule();
    return entrances;
}

// Hands every scene of the table the timer of its passes (null: takes it back).
void timeScenePasses(PassTimer* timer) {
    for (int n = 1; n <= SceneTable::kSlots; ++n)
        if (Scene* scene = scenes.get(n))
            scene->timePasses(timer);
}

// One frame as the capture renders it, with its passes timed.
void timeFrame(const FrameClock& clock, int64_t k, PassTimer& timer, SceneTimes& times) {
    audio->setPosition(music, clock.position(k));
    timer.beginFrame();
    Clock::time_point start = Clock::now();
    clearFrame();
    frameStep();
    glFinish();
    times.frameMs.push_back(secondsSince(start) * 1000);
    for (const PassTime& pass : timer.endFrame()) {
        times.gpuMs[pass.name].push_back(pass.gpuMs);
        if (pass.name != "flatten")
            continue;
        times.flattenMs.push_back(pass.cpuMs);
        auto* polygons = dynamic_cast<SceneRaytracerPolygons*>(scenes.get(currentScene));
        double bytes = 0;
        if (polygons)
            for (const TexelRange& range : polygons->lastFlatten().changed)
                bytes += range.count * 16.0; // four floats a texel
        times.uploadBytes.push_back(bytes);
    }
}

// The content a ray-traced scene traced in the frames just timed.
TracedContent tracedContent(const Scene* scene) {
    TracedContent traced;
    const auto* polygons = dynamic_cast<const SceneRaytracerPolygons*>(scene);
    if (!polygons)
        return traced;
    traced.model = polygons->modelFile();
    traced.triangles = polygons->lastFlatten().triangles;
    traced.volumes = polygons->lastFlatten().volumes;
    traced.reflections = polygons->reflections();
    traced.renderSide = polygons->renderSide();
    return traced;
}

} // namespace

int runBench(const Options& options) {
    // The report owns standard output; everything the show prints goes to standard error.
    fflush(stdout);
    FILE* report = fdopen(dup(1), "w");
    dup2(2, 1);
    HeadlessStart run;
    if (!report || !run.start(options.width, options.height, options.renderWidth, false))
        return 1;

    StartupTimes startup;
    Clock::time_point start = Clock::now();
    openMusic();
    startup.music = secondsSince(start);
    start = Clock::now();
    buildShow(options);
    startShow();
    reshape(runContext.screenWidth, runContext.screenHeight);
    startup.shaders = runContext.loadTimes.shaders;
    startup.models = runContext.loadTimes.models;
    startup.textures = runContext.loadTimes.textures;
    startup.other = secondsSince(start) - startup.shaders - startup.models - startup.textures;

    PassTimer timer; // deleted before the start-up's context that holds its queries
    timeScenePasses(&timer);
    FrameClock clock{options.fps, run.manualMusic().format(music)};
    int64_t total = clock.framesBefore(audio->length(music));
    std::vector<SceneTimes> results;
    std::vector<std::pair<int, int64_t>> entrances = sceneEntrances(clock, total);
    for (size_t i = 0; i < entrances.size(); ++i) {
        int64_t exit = i + 1 < entrances.size() ? entrances[i + 1].second : total;
        std::vector<int64_t> frames =
            benchFrames(entrances[i].second, exit, options.fps, kFramesPerScene, options.spread);
        if (frames.empty())
            continue;
        startSchedule();
        replayTimeline(frames.front(), clock);
        scenes.activate(currentScene);
        SceneTimes times;
        // A scene played alone sits in slot 1; its row keeps the number it has in the show.
        times.scene = options.scene.lineUpScene != 0 ? options.scene.lineUpScene : entrances[i].first;
        times.className = scenes.get(currentScene) ? className(scenes.get(currentScene)) : "(empty)";
        for (int64_t k : frames)
            timeFrame(clock, k, timer, times);
        times.traced = tracedContent(scenes.get(currentScene));
        fprintf(stderr, "scene %d: %zu frames\n", times.scene, times.frameMs.size());
        results.push_back(times);
    }
    timeScenePasses(nullptr);
    if (options.json)
        printBenchJson(report, startup, results, runContext.screenWidth, runContext.screenHeight,
                       options.fps);
    else
        printBenchTable(report, startup, results, runContext.screenWidth, runContext.screenHeight);
    return fclose(report) == 0 ? 0 : 1;
}
