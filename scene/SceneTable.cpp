#include "scene/SceneTable.h"

#include "scene/Scene.h"

Scene* SceneTable::get(int sceneNumber) const {
    if (sceneNumber < 1 || sceneNumber > kSlots)
        return nullptr;
    return slots[sceneNumber - 1];
}

void SceneTable::set(int sceneNumber, Scene* scene) {
    if (sceneNumber < 1 || sceneNumber > kSlots)
        return;
    slots[sceneNumber - 1] = scene;
}

void SceneTable::render(int sceneNumber, float time, float sceneTime) const {
    if (Scene* scene = get(sceneNumber))
        scene->render(time, sceneTime);
}

void SceneTable::init(int sceneNumber) const {
    if (Scene* scene = get(sceneNumber))
        scene->init();
}

void SceneTable::activate(int sceneNumber) const {
    if (Scene* scene = get(sceneNumber))
        scene->activate();
}
