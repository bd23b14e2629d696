#pragma once
#include <string>
#include <vector>

// --watch: a scene whose data files (shaders, bitmaps, models) change on disk is
// reloaded as the Enter key reloads it, and what was reloaded is printed. A saved
// show file (--show) rebuilds the line-up, or is reported and left unapplied.

// After start-up: watches the folders of every scene's files and keeps each shader
// program's last linked version in use when a reload does not compile or link.
void startLiveEditing();
// Stops watching and lets failed shader builds blank their scenes again.
void stopLiveEditing();
// Once a frame, before drawing: reloads the scenes whose files changed, once the
// changes have settled. Never blocks; does nothing unless live editing started.
void pollLiveEditing();

// The one way a scene is reloaded or activated after start-up (the Enter and number
// keys, and the reloads above): the files it opens are noted for the scene and,
// while live editing runs, the ones opened for the first time are watched too.
void reloadWatchedScene(int sceneNumber);
void activateWatchedScene(int sceneNumber);

// What the last reload of a scene reported (file:line and the compiler's log),
// one line each; empty once a reload of it succeeds, and before any reload.
const std::vector<std::string>& sceneReloadErrors(int sceneNumber);
