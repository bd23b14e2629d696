#pragma once
#include <string>
#include <vector>

class Scene;

// Playing one scene alone (--scene): a scene of the show by number, with its
// line-up arguments, or any class of the scene library by name.

// What a library class takes after "CLASS:".
enum class PreviewArgument { None, OptionalNumber, RequiredFile };

struct PreviewClass {
    const char* name;
    PreviewArgument argument;
    const char* argumentName; // for --help and complaints
    Scene* (*make)(const std::string& argument);
    // Arguments that show what the class does, separated by spaces ("" when it takes
    // none): what the tests that cover every class build it with.
    const char* examples;
};

struct SceneChoice {
    int lineUpScene = 0;                        // 1 to 6: that scene of the show
    const PreviewClass* libraryClass = nullptr; // or this class
    std::string argument;                       // what followed "CLASS:"; empty when nothing did
    bool chosen() const { return lineUpScene != 0 || libraryClass != nullptr; }
};

// The library class of that name, or null.
const PreviewClass* findPreviewClass(const std::string& name);
// Why `argument` does not suit the class ("" when it does); `given` says whether
// anything followed the colon at all.
std::string checkPreviewArgument(const PreviewClass& c, const std::string& argument, bool given);
// Every class as --scene names it, comma-separated.
std::string previewClassList();

// Understands "N" (1 to 6) or "CLASS[:ARG]"; returns "" or why it cannot.
std::string parseSceneChoice(const char* text, SceneChoice* choice);
// Where the preview starts in the music: a scene of the show at its own start
// beat, so that it plays over its own part of the track; a library class at 0.
float previewStartBeat(const SceneChoice& choice);
// Fills the timeline with one entry, scene 1 from previewStartBeat, and puts the
// schedule at it. Touches no GL.
void schedulePreview(const SceneChoice& choice);
// schedulePreview, then constructs the chosen scene alone into slot 1, where the
// jump keys reach it. Needs a current GL context.
void createPreviewScene(const SceneChoice& choice);
// Every class of the library as --scene values that build it: the name, or the name
// with its first example argument, or (everyExample) one value per example argument.
// Tests that cover every class iterate these, so a class added to the table is covered.
std::vector<std::string> librarySceneValues(bool everyExample);
// The --scene and --watch lines of --help, with every class name.
void printPreviewUsage(const char* program);
