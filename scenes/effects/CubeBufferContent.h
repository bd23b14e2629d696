#pragma once
#include <cmath>
#include <cstring>

// The cube buffer the ray-traced cubes shader reads as RGBA32F texels: one
// axis-aligned cube as two opposite corners, then its colour; the rest is zero.
// RaytracedCubesFrag.glsl reads the same texel numbers.
constexpr int kCubeBufferTexels = 1024;
constexpr int kCubeBufferBytes = kCubeBufferTexels * 4 * sizeof(float);
constexpr int kCubeMinCornerTexel = 0; // (x, y, z, 0)
constexpr int kCubeMaxCornerTexel = 1; // (x, y, z, edge length)
constexpr int kCubeColourTexel = 2;    // (r, g, b, a)
constexpr float kCubeCorner[3] = {30.0f, -10.0f, 50.0f};
constexpr float kCubeColour[4] = {1.0f, 0.0f, 0.2f, 1.0f};

// The cube's edge length at a music time in seconds (taken as radians): swings
// between 1 and 21 and back every 2 pi seconds.
inline float cubeSizeAt(float time) {
    float cosine = (float)std::cos((double)time);
    return (float)(10.0 * cosine + 11.0);
}

// Writes the whole buffer for a cube of edge length `size`.
inline void fillCubeBuffer(float* texels, float size) {
    std::memset(texels, 0, kCubeBufferBytes);
    float* minCorner = texels + 4 * kCubeMinCornerTexel;
    float* maxCorner = texels + 4 * kCubeMaxCornerTexel;
    for (int axis = 0; axis < 3; ++axis) {
        minCorner[axis] = kCubeCorner[axis];
        maxCorner[axis] = kCubeCorner[axis] + size;
    }
    maxCorner[3] = size;
    std::memcpy(texels + 4 * kCubeColourTexel, kCubeColour, sizeof kCubeColour);
}
