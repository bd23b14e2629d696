#pragma once
#include <cstdint>
#include <vector>

// Which frames the benchmark times of a scene on screen from frame `entrance` up to
// (not including) frame `exit`. By default `count` consecutive frames from half a
// second in, past the scene's first frame; with `spread`, `count` frames evenly
// across the whole time on screen, the first and the last frame included, so scenes
// whose cost grows or falls as they play are measured over all of it. Fewer when the
// scene has fewer frames; ascending and distinct.
std::vector<int64_t> benchFrames(int64_t entrance, int64_t exit, int fps, int count, bool spread);
