#pragma once
#include <string>
#include <vector>

// Optional timing of the passes of a frame, for the benchmark. A scene marks where
// each of its passes begins; the mark ends the pass before it. Each pass is timed
// on the GPU (timestamp queries) and on the CPU clock. Marks cost nothing while no
// frame is being recorded.
void markPass(const char* name);

struct PassTime {
    std::string name;
    double gpuMs;
    double cpuMs;
};

// Starts recording a frame; what comes before the first mark is named "other".
void beginPassFrame();
// Ends the frame, waits for the GPU and returns its passes in order.
std::vector<PassTime> endPassFrame();
