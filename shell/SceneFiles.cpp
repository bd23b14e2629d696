#include "shell/SceneFiles.h"

#include <algorithm>

#include "shell/ShellState.h"

namespace {

std::vector<std::string> filesBySlot[SceneTable::kSlots + 1];

std::vector<std::string>& slotFiles(int sceneNumber) {
    static std::vector<std::string> none;
    if (sceneNumber < 1 || sceneNumber > SceneTable::kSlots) {
        none.clear();
        return none;
    }
    return filesBySlot[sceneNumber];
}

// Runs `work` while the scenes' data paths are noted into the slot's list, keeping each file once.
template <typename Work> void noting(int sceneNumber, Work work) {
    std::vector<std::string> opened;
    runContext.openedFiles = &opened;
    work();
    runContext.openedFiles = nullptr;
    std::vector<std::string>& files = slotFiles(sceneNumber);
    for (const std::string& path : opened)
        if (std::find(files.begin(), files.end(), path) == files.end())
            files.push_back(path);
}

} // namespace

void placeScene(int sceneNumber, const std::function<Scene*()>& make) {
    slotFiles(sceneNumber).clear();
    noting(sceneNumber, [&] { scenes.set(sceneNumber, make()); });
}

// Files the new init no longer opens stay listed: a change to them costs one
// needless reload, while forgetting the bitmaps that activate loads would cost edits.
void reloadScene(int sceneNumber) {
    noting(sceneNumber, [&] { scenes.init(sceneNumber); });
}

void activateScene(int sceneNumber) {
    noting(sceneNumber, [&] { scenes.activate(sceneNumber); });
}

const std::vector<std::string>& sceneFiles(int sceneNumber) {
    return slotFiles(sceneNumber);
}
