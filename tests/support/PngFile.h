#pragma once
#include <string>
#include <vector>

// Writes RGBA float pixels (bottom row first, as glReadPixels gives them) as an
// 8-bit RGB PNG, top row first; values are clamped to [0, 1].
bool writePng(const std::string& path, const std::vector<float>& rgba, int width, int height);
