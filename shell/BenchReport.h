#pragma once
#include <cstdio>
#include <map>
#include <string>
#include <vector>

// What the benchmark measured, and its two renderings.
struct StartupTimes {
    double music = 0; // seconds, each
    double shaders = 0;
    double models = 0;
    double textures = 0;
    double other = 0; // the rest of building the show
};

// What a ray-traced scene traces; model empty for the other scenes.
struct TracedContent {
    std::string model; // the 3D Studio file as the line-up names it
    int triangles = 0; // as flattened for the last frame timed
    int volumes = 0;
    int reflections = 0;
    int renderSide = 0; // the square render targets' side
};

struct SceneTimes {
    int scene = 0; // the show's scene number
    std::string className;
    TracedContent traced;
    std::vector<double> frameMs;                      // whole frames, CPU clock, GPU finished
    std::map<std::string, std::vector<double>> gpuMs; // per pass, one value per frame that ran it
    std::vector<double> flattenMs;                    // per animation frame: evaluation and flattening
    std::vector<double> uploadBytes;                  // per animation frame
};

// The value below which `share` (0 to 1) of the values lie (nearest rank); 0 for none.
double percentile(std::vector<double> values, double share);

// width and height: the frame size, the render size of the scenes that draw on the frame directly.
void printBenchTable(FILE* out, const StartupTimes& startup, const std::vector<SceneTimes>& scenes, int width,
                     int height);
void printBenchJson(FILE* out, const StartupTimes& startup, const std::vector<SceneTimes>& scenes, int width,
                    int height, int fps);
