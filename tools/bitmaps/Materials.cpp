#include "tools/bitmaps/Materials.h"

#include "tools/bitmaps/Noise.h"

#include <cmath>
#include <functional>

namespace bitmaps {

namespace {

const float kTau = 6.28318530718f;

// Fills a texture from a function of the tile coordinates u, v in [0, 1).
Image paint(const std::function<Rgb(float u, float v, int x, int y)>& colour) {
    Image image(kTextureSide, kTextureSide);
    for (int y = 0; y < kTextureSide; ++y)
        for (int x = 0; x < kTextureSide; ++x)
            image.at(x, y) = colour((x + 0.5f) / kTextureSide, (y + 0.5f) / kTextureSide, x, y);
    return image;
}

float clamp01(float v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

float smoothstep(float a, float b, float v) {
    float t = clamp01((v - a) / (b - a));
    return t * t * (3 - 2 * t);
}

// Distance to the nearest line of a grid with `cells` cells per side, in cells.
float lineDistance(float u, int cells) {
    float f = u * cells - std::floor(u * cells);
    return std::fmin(f, 1 - f);
}

} // namespace

Image marble() {
    return paint([](float u, float v, int, int) {
        float warp = tiledFbm(u, v, 4, 5, 11);
        float vein = std::fabs(std::sin(kTau * (u + 2 * v) + 9 * warp));
        float fine = tiledFbm(u, v, 16, 3, 12);
        Rgb stone = mix({0.93f, 0.92f, 0.90f}, {0.80f, 0.82f, 0.86f}, fine);
        return mix({0.32f, 0.34f, 0.40f}, stone, smoothstep(0.0f, 0.35f, vein));
    });
}

Image checker() {
    return paint([](float u, float v, int, int) {
        int cell = ((int)(u * 8) + (int)(v * 8)) & 1;
        float speckle = 0.06f * (tiledNoise(u, v, 64, 21) - 0.5f);
        Rgb c = cell ? Rgb{0.90f, 0.88f, 0.82f} : Rgb{0.12f, 0.14f, 0.20f};
        return add(c, {speckle, speckle, speckle});
    });
}

Image brushed() {
    return paint([](float u, float v, int, int y) {
        // Streaks along u: noise that changes fast across rows and slowly along them.
        float streak = tiledNoise(u, v, 2, 31) * 0.3f + tiledNoise(u, v, 16, 128, 32) * 0.7f;
        float rowJitter = 0.04f * (hash01(0, y, 33) - 0.5f);
        float k = 0.62f + 0.22f * streak + rowJitter;
        return Rgb{k, k * 1.01f, k * 1.04f};
    });
}

Image grid() {
    return paint([](float u, float v, int, int) {
        float major = std::fmin(lineDistance(u, 4), lineDistance(v, 4));
        float minor = std::fmin(lineDistance(u, 16), lineDistance(v, 16));
        float glow = std::exp(-major * 40) + 0.35f * std::exp(-minor * 25);
        Rgb base = mix({0.02f, 0.03f, 0.08f}, {0.05f, 0.07f, 0.16f}, tiledFbm(u, v, 4, 3, 41));
        return add(base, scale({0.25f, 0.75f, 1.0f}, glow));
    });
}

Image wood() {
    return paint([](float u, float v, int, int) {
        // Grain runs along u; rings are bands across v, bent by noise.
        float bend = tiledFbm(u, v, 4, 4, 51);
        float ring = v * 12 + 3 * bend;
        float band = 0.5f + 0.5f * std::sin(kTau * ring);
        float fibre = tiledNoise(u, v, 16, 64, 52);
        Rgb light = {0.72f, 0.50f, 0.28f}, dark = {0.42f, 0.25f, 0.12f};
        return mix(mix(light, dark, std::pow(band, 3.0f)), dark, 0.25f * fibre);
    });
}

Image brass() {
    return paint([](float u, float v, int, int) {
        float cloud = tiledFbm(u, v, 4, 5, 61);
        float scratch = std::pow(tiledNoise(u, v, 128, 4, 62), 8.0f);
        Rgb c = mix({0.55f, 0.40f, 0.14f}, {0.86f, 0.70f, 0.32f}, cloud);
        return add(c, scale({1.0f, 0.9f, 0.6f}, 0.5f * scratch));
    });
}

Image lava() {
    return paint([](float u, float v, int, int) {
        float n = tiledFbm(u, v, 4, 6, 71);
        float cracks = 1 - std::fabs(2 * tiledFbm(u, v, 8, 4, 72) - 1);
        float heat = smoothstep(0.75f, 0.98f, cracks) + 0.4f * smoothstep(0.55f, 0.8f, n);
        Rgb crust = mix({0.05f, 0.03f, 0.03f}, {0.20f, 0.08f, 0.05f}, n);
        return mix(crust, mix({0.9f, 0.25f, 0.02f}, {1.0f, 0.85f, 0.3f}, heat * heat), clamp01(heat));
    });
}

Image stripes() {
    return paint([](float u, float v, int, int) {
        // Eight diagonal periods across the tile meet themselves at every edge.
        float s = u * 8 + v * 8;
        float f = s - std::floor(s);
        float edge = smoothstep(0.44f, 0.5f, f) - smoothstep(0.94f, 1.0f, f);
        float wear = 0.08f * tiledFbm(u, v, 8, 4, 131);
        Rgb a = {0.95f, 0.78f, 0.20f}, b = {0.10f, 0.10f, 0.12f};
        return scale(mix(b, a, edge), 0.96f - wear);
    });
}

Image dirt() {
    return paint([](float u, float v, int, int) {
        float n = tiledFbm(u, v, 4, 6, 81);
        float pebbles = smoothstep(0.6f, 0.7f, tiledNoise(u, v, 32, 82));
        Rgb c = mix({0.22f, 0.15f, 0.09f}, {0.52f, 0.40f, 0.26f}, n);
        return mix(c, {0.60f, 0.56f, 0.50f}, 0.5f * pebbles);
    });
}

Image lavaDark() {
    return paint([](float u, float v, int, int) {
        float n = tiledFbm(u + 0.5f, v, 2, 6, 91);
        float flow = 0.5f + 0.5f * std::sin(kTau * (2 * v + 3 * n));
        return mix({0.15f, 0.01f, 0.0f}, {1.0f, 0.45f, 0.05f}, std::pow(flow, 4.0f));
    });
}

Image grain() {
    return paint([](float u, float v, int x, int y) {
        float k = 0.45f + 0.25f * tiledFbm(u, v, 8, 3, 101) + 0.3f * (hash01(x, y, 102) - 0.5f);
        return Rgb{k, k, k};
    });
}

Image voxels() {
    return paint([](float u, float v, int, int) {
        int cx = (int)(u * 16), cy = (int)(v * 16);
        float h = hash01(cx, cy, 111);
        float edge = std::fmin(lineDistance(u, 16), lineDistance(v, 16));
        Rgb c = mix({0.1f, 0.3f, 0.6f}, {0.4f, 0.9f, 0.7f}, h);
        return scale(c, 0.5f + 0.5f * smoothstep(0.0f, 0.12f, edge));
    });
}

Image tiles(bool glazed) {
    return paint([glazed](float u, float v, int, int) {
        int cx = (int)(u * 8), cy = (int)(v * 8);
        float grout = smoothstep(0.02f, 0.05f, std::fmin(lineDistance(u, 8), lineDistance(v, 8)));
        float shade = 0.85f + 0.15f * hash01(cx, cy, glazed ? 121 : 122);
        Rgb tile = glazed ? Rgb{0.20f, 0.45f, 0.55f} : Rgb{0.78f, 0.74f, 0.66f};
        return mix({0.30f, 0.30f, 0.30f}, scale(tile, shade), grout);
    });
}

} // namespace bitmaps
