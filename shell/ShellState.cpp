#include "shell/ShellState.h"

#include "shell/Startup.h"

RunContext runContext;
int currentScene = 1;
SceneTable scenes;
Timeline timeline;
MusicHandle music = 0;
Music* audio = nullptr;
int windowId = 0;
int frameCount = 0;
float musicTime = 0;
float sceneStart = 0;
float sceneTime = 0;
float beat = 0;
Tempo showTempo;
std::string musicFile = kMusicFile;
AdaptiveResolution* adaptiveResolution = nullptr;
