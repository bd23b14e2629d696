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

struct SceneTimes {
    int scene = 0;
    std::string className;
    std::vector<double> frameMs;                      // whole frames, CPU clock, GPU finished
    std::map<std::string, std::vector<double>> gpuMs; // per pass, one value per frame that ran it
    std::vector<double> flattenMs;                    // per animation frame: evaluation and flattening
    std::vector<double> uploadBytes;                  // per animation frame
};

// The value below which `share` (0 to 1) of the values lie (nearest rank); 0 for none.
double percentile(std::vector<double> values, double share);

void printBenchTable(FILE* out, const StartupTimes& startup, const std::vector<SceneTimes>& scenes);
void printBenchJson(FILE* out, const StartupTimes& startup, const std::vector<SceneTimes>& scenes, int width,
                    int height, int fps);
