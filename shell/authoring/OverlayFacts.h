#pragma once
#include <string>
#include <vector>

class Scene;

// What the authoring overlay shows, gathered from the shell once a frame: plain
// data, so that its wording and the timeline strip's arithmetic are tested
// without a GL context.
struct OverlayFacts {
    float seconds = 0; // music time
    float beat = 0;
    int entry = 0; // timeline entry on screen, from 0
    int entries = 0;
    float entryStartBeat = 0;
    int scene = 0;
    std::string sceneClass; // "" for an empty slot
    float fps = 0;
    int width = 0, height = 0; // the frame
    int tracedSide = 0;        // the ray-traced scenes' square target
    bool paused = false;
    bool looping = false;
    float loopStart = 0, loopEnd = 0;
    std::vector<std::string> errors; // the last reload's failures of the scene on screen

    // The timeline strip: the track's length and each entry's start in seconds.
    float trackSeconds = 0;
    std::vector<float> entryStarts;
    std::vector<int> entryScenes;
};

// The overlay's text, one line each, errors last.
std::vector<std::string> overlayLines(const OverlayFacts& facts);

// The class name of a scene object ("SceneRaytracerPolygons"); "" for none.
std::string sceneClassName(const Scene* scene);

// The music time under x on a strip from `left` that is `width` wide and spans
// the track: clamped to the track.
float stripSeconds(float x, float left, float width, float trackSeconds);
// Where a music time sits on that strip.
float stripX(float seconds, float left, float width, float trackSeconds);
