#include "shell/LiveEditing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/ErrorReport.h"
#include "scene/ShaderBuildLog.h"
#include "scene/ShaderProgram.h"
#include "shell/FileWatcher.h"
#include "shell/SceneFiles.h"
#include "shell/ShellState.h"
#include "shell/ShowFile.h"
#include "shell/ShowLineUp.h"

namespace {

// Editors write a file in steps (write, rename, chmod); wait until they are done.
const double kQuietSeconds = 0.15;

std::unique_ptr<FileWatcher> watcher;
ShaderBuildLog buildLog;
std::vector<std::string> reloadErrors[SceneTable::kSlots + 1];

// The messages of buildLog from `first` on, split into lines.
std::vector<std::string> linesFrom(size_t first) {
    std::vector<std::string> lines;
    for (size_t i = first; i < buildLog.messages.size(); ++i) {
        const std::string& text = buildLog.messages[i];
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            if (end > start)
                lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
    }
    return lines;
}

double steadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

int watchScene(int sceneNumber) {
    if (!watcher)
        return 0;
    int count = 0;
    for (const std::string& path : sceneFiles(sceneNumber))
        count += watcher->watch(path) ? 1 : 0;
    return count;
}

// The files of `changed` that the scene opened, joined for a message; "" when none.
std::string changedFilesOf(int sceneNumber, const std::vector<std::string>& changed) {
    std::string names;
    for (const std::string& path : sceneFiles(sceneNumber)) {
        if (std::find(changed.begin(), changed.end(), path) != changed.end())
            names += (names.empty() ? "" : ", ") + path;
    }
    return names;
}

} // namespace

const std::vector<std::string>& sceneReloadErrors(int sceneNumber) {
    static const std::vector<std::string> none;
    if (sceneNumber < 1 || sceneNumber > SceneTable::kSlots)
        return none;
    return reloadErrors[sceneNumber];
}

void startLiveEditing() {
    runContext.shaderBuildLog = &buildLog;
    watcher.reset(new FileWatcher(kQuietSeconds));
    if (!watcher->ok()) {
        reportError("Could not watch the data files for changes (inotify); --watch is off\n");
        watcher.reset();
        return;
    }
    int count = 0;
    for (int n = 1; n <= SceneTable::kSlots; ++n)
        count += watchScene(n);
    if (loadedShow() && watcher->watch(loadedShow()->path))
        count += 1;
    printf("Watching %d data files for changes\n", count);
}

void stopLiveEditing() {
    watcher.reset();
    runContext.shaderBuildLog = nullptr;
}

void pollLiveEditing() {
    if (!watcher)
        return;
    std::vector<std::string> changed = watcher->poll(steadySeconds());
    if (changed.empty())
        return;
    bool reloaded = false;
    // A saved show file rebuilds the line-up first, so the scene files below are
    // those of the line-up that plays from now on.
    if (loadedShow() && std::find(changed.begin(), changed.end(), loadedShow()->path) != changed.end()) {
        printf("Reloading the show: %s changed\n", loadedShow()->path.c_str());
        if (reloadShow()) {
            for (int n = 1; n <= SceneTable::kSlots; ++n)
                watchScene(n);
        }
        fflush(stdout);
    }
    // One edit explains itself once, however many programs and scenes load the file.
    buildLog.beginReload();
    for (int n = 1; n <= SceneTable::kSlots; ++n) {
        std::string names = changedFilesOf(n, changed);
        if (names.empty())
            continue;
        printf("Reloading scene %d: %s changed\n", n, names.c_str());
        int failedBefore = buildLog.failed, keptBefore = buildLog.kept;
        reloadWatchedScene(n);
        int failed = buildLog.failed - failedBefore, kept = buildLog.kept - keptBefore;
        if (failed == 0)
            printf("Reloaded scene %d\n", n);
        else if (kept == failed)
            printf("Reload of scene %d failed; kept the last program\n", n);
        else
            printf("Reload of scene %d failed; a program that never linked draws nothing\n", n);
        reloaded = true;
    }
    // As after the Enter key; a reload of another slot left its own state bound.
    if (reloaded)
        activateWatchedScene(currentScene);
    fflush(stdout);
}

void reloadWatchedScene(int sceneNumber) {
    size_t messagesBefore = buildLog.messages.size();
    reloadScene(sceneNumber);
    if (sceneNumber >= 1 && sceneNumber <= SceneTable::kSlots)
        reloadErrors[sceneNumber] = linesFrom(messagesBefore);
    watchScene(sceneNumber); // files the reload opened for the first time
}

void activateWatchedScene(int sceneNumber) {
    activateScene(sceneNumber);
    watchScene(sceneNumber);
}
