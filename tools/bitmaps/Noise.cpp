#include "tools/bitmaps/Noise.h"

#include <cmath>

namespace bitmaps {

float hash01(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B9u ^ (uint32_t)x * 0x85EBCA6Bu ^ (uint32_t)y * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return (float)(h >> 8) / (float)(1u << 24);
}

namespace {

int wrap(int i, int period) {
    int m = i % period;
    return m < 0 ? m + period : m;
}

float smooth(float t) {
    return t * t * (3 - 2 * t);
}

} // namespace

float tiledNoise(float u, float v, int period, uint32_t seed) {
    return tiledNoise(u, v, period, period, seed);
}

float tiledNoise(float u, float v, int cellsU, int cellsV, uint32_t seed) {
    float x = u * cellsU, y = v * cellsV;
    float fx = std::floor(x), fy = std::floor(y);
    int x0 = (int)fx, y0 = (int)fy;
    float tx = smooth(x - fx), ty = smooth(y - fy);
    float a = hash01(wrap(x0, cellsU), wrap(y0, cellsV), seed);
    float b = hash01(wrap(x0 + 1, cellsU), wrap(y0, cellsV), seed);
    float c = hash01(wrap(x0, cellsU), wrap(y0 + 1, cellsV), seed);
    float d = hash01(wrap(x0 + 1, cellsU), wrap(y0 + 1, cellsV), seed);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float tiledFbm(float u, float v, int period, int octaves, uint32_t seed) {
    float sum = 0, weight = 0.5f, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * tiledNoise(u, v, period << i, seed + (uint32_t)i * 101u);
        total += weight;
        weight *= 0.5f;
    }
    return sum / total;
}

} // namespace bitmaps
