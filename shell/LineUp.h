#pragma once
#include <memory>

class Scene;
class FlattenStaging;
struct ShowPace;
struct ShowFile;

// The show's schedule ends 64 beats after its last scene starts; a show without
// music runs this long.
constexpr float kLastSceneBeat = 304.0f;
constexpr float kShowEndBeat = kLastSceneBeat + 64.0f;

// The polygon scenes' ray-traced target: 800 wide (the side of the square target),
// with a height of 600 kept beside it.
constexpr int kRenderWidth = 800;

// The scene numbers the show fills, from 1.
constexpr int kLineUpScenes = 6;

// The beat where scene `sceneNumber` (1 to kLineUpScenes) of the show starts.
float lineUpStartBeat(int sceneNumber);

// The built-in line-up as a show file would describe it (file names as written
// here, with backslashes): what data/show.toml must read as.
ShowFile builtInShow();

// Fills the timeline and constructs the show's scenes into the scene table. Needs
// a current GL context (scene constructors load their files).
void createScenes();

// Constructs scene `sceneNumber` (1 to kLineUpScenes) of the show with its line-up
// arguments; the polygon scenes flatten through `staging`. Loads its files.
Scene* newLineUpScene(int sceneNumber, const std::shared_ptr<FlattenStaging>& staging);
// A polygon scene of any 3D Studio file with the arguments most of the show's
// polygon scenes take: depth of field 1.0, 800 x 600, 4 reflections, 16 frames per beat.
Scene* newPolygonScene(const char* fileName);

// How the show plays a 3D Studio file named like one of its polygon scenes' files
// (the last part of `path`, regardless of case): the scene, its frames per beat
// and the beats until the next scene. framesPerBeat 0 for any other name.
ShowPace showPaceOf(const char* path);
