#pragma once
#include <functional>
#include <string>
#include <vector>

class Scene;

// The data files each scene opened, by scene number: what live editing watches.
// They are noted through dataPath while the scene is built, reloaded or activated here.

// Constructs a scene with `make` into slot `sceneNumber`, noting the files it opens.
void placeScene(int sceneNumber, const std::function<Scene*()>& make);
// Runs init on the scene again, as the Enter key does, adding the files it opens.
void reloadScene(int sceneNumber);
// activate, adding the files it opens (a scene may load bitmaps there) to its list.
void activateScene(int sceneNumber);
// The files noted for a slot, each once, in the order first opened.
const std::vector<std::string>& sceneFiles(int sceneNumber);
