#pragma once
#include <GL/glew.h>
#include <chrono>
#include <string>
#include <vector>

struct PassTime {
    std::string name;
    double gpuMs;
    double cpuMs;
};

// Optional timing of the passes of a frame, for the benchmark. A scene handed a
// timer (Scene::timePasses) marks where each of its passes begins; the mark ends
// the pass before it. Each pass is timed on the GPU (timestamp queries) and on the
// CPU clock. Marks cost nothing while no frame is being recorded. The timer owns
// its queries: the GL context it was used in must still be current when it goes.
class PassTimer {
  public:
    PassTimer() = default;
    ~PassTimer();
    PassTimer(const PassTimer&) = delete;
    PassTimer& operator=(const PassTimer&) = delete;

    void mark(const char* name);
    // Starts recording a frame; what comes before the first mark is named "other".
    void beginFrame();
    // Ends the frame, waits for the GPU and returns its passes in order.
    std::vector<PassTime> endFrame();

  private:
    struct Mark {
        std::string name;
        GLuint query;
        std::chrono::steady_clock::time_point cpu;
    };
    void addMark(const char* name);

    bool recording = false;
    std::vector<Mark> marks;
    std::vector<GLuint> queries; // reused from frame to frame
};
