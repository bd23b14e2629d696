#pragma once
#include <string>

#include "core/MusicTime.h"
#include "scene/RunContext.h"
#include "scene/SceneTable.h"
#include "shell/Music.h"
#include "shell/Timeline.h"

// The shell's process-wide state.
extern RunContext runContext; // handed to every scene: the window size, load times, live editing's hooks
extern int currentScene;
extern SceneTable scenes;
extern Timeline timeline;
extern MusicHandle music;
extern Music* audio; // the backend behind `music`
extern int windowId;
extern int frameCount;
extern float musicTime;
extern float sceneStart;
extern float sceneTime;
extern float beat;
// The show's beat clock and music file: the built-in show's unless --show names others.
extern Tempo showTempo;
extern std::string musicFile;
class AdaptiveResolution;
extern AdaptiveResolution* adaptiveResolution; // --target-fps in the window; null otherwise
