#include "tools/models/Direction.h"

#include <cmath>

namespace models {

float easeBetween(float beat, float a, float b) {
    if (beat <= a)
        return 0;
    if (beat >= b)
        return 1;
    float t = (beat - a) / (b - a);
    return t * t * (3 - 2 * t);
}

float pulse(float beat, float sharpness) {
    float phase = beat - std::floor(beat);
    return beat < 0 ? 0.0f : std::exp(-sharpness * phase);
}

float bounce(float beat) {
    float phase = beat - std::floor(beat);
    return 4 * phase * (1 - phase);
}

Path& Path::at(float beat, Vec3 value) {
    points.emplace_back(beat, value);
    return *this;
}

Vec3 Path::operator()(float beat) const {
    if (points.empty())
        return {0, 0, 0};
    if (beat <= points.front().first)
        return points.front().second;
    for (size_t i = 1; i < points.size(); ++i)
        if (beat < points[i].first)
            return lerp(points[i - 1].second, points[i].second,
                        easeBetween(beat, points[i - 1].first, points[i].first));
    return points.back().second;
}

} // namespace models
