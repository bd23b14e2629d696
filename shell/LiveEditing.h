#pragma once
#include <string>
#include <vector>

// --watch: a scene whose data files (shaders, bitmaps, models) change on disk is
// reloaded as the Enter key reloads it, and what was reloaded is printed.

// After start-up: watches the folders of every scene's files and keeps each shader
// program's last linked version in use when a reload does not compile or link.
void startLiveEditing();
// Once a frame, before drawing: reloads the scenes whose files changed, once the
// changes have settled. Never blocks; does nothing unless live editing started.
void pollLiveEditing();
// What the last reload of a scene reported (file:line and the compiler's log),
// one line each; empty once a reload of it succeeds, and before any reload.
const std::vector<std::string>& sceneReloadErrors(int sceneNumber);
