#include "shell/BenchFrames.h"

std::vector<int64_t> benchFrames(int64_t entrance, int64_t exit, int fps, int count, bool spread) {
    std::vector<int64_t> frames;
    if (count <= 0 || exit <= entrance)
        return frames;
    if (!spread) {
        for (int64_t k = entrance + fps / 2; k < entrance + fps / 2 + count && k < exit; ++k)
            frames.push_back(k);
        return frames;
    }
    int64_t length = exit - entrance;
    if (length <= count) {
        for (int64_t k = entrance; k < exit; ++k)
            frames.push_back(k);
        return frames;
    }
    // Frame i of count sits at i / (count - 1) of the way to the last frame.
    for (int i = 0; i < count; ++i)
        frames.push_back(entrance + (count == 1 ? 0 : (length - 1) * i / (count - 1)));
    return frames;
}
