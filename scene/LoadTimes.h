#pragma once
#include <chrono>

// Seconds spent loading each kind of data file in a run (RunContext), for the
// benchmark's split of the start-up.
struct LoadTimes {
    double shaders = 0;
    double models = 0;
    double textures = 0;
};

// Adds the seconds of its own lifetime to one field of a LoadTimes.
class LoadTimer {
  public:
    explicit LoadTimer(double& total) : total(total), start(std::chrono::steady_clock::now()) {}
    ~LoadTimer() { total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); }
    LoadTimer(const LoadTimer&) = delete;
    LoadTimer& operator=(const LoadTimer&) = delete;

  private:
    double& total;
    std::chrono::steady_clock::time_point start;
};
