#pragma once
#include <cstdint>

namespace bitmaps {

// Integer hash to [0, 1): the same inputs give the same value on every machine.
float hash01(int32_t x, int32_t y, uint32_t seed);

// Smooth value noise in [0, 1] on a lattice of `period` cells per unit square
// that repeats every `period` cells, so a picture sampled over [0, 1) tiles.
float tiledNoise(float u, float v, int period, uint32_t seed);
// The same with its own number of cells along u and along v (streaks, grain).
float tiledNoise(float u, float v, int cellsU, int cellsV, uint32_t seed);

// Sum of `octaves` noise layers, each with twice the cells and half the weight;
// in [0, 1], tiles like tiledNoise.
float tiledFbm(float u, float v, int period, int octaves, uint32_t seed);

} // namespace bitmaps
