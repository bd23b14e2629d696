// Scene 4, the heavy one: a city of mirror towers, boxes and domes on a mirror
// plain. The towers grow out of the ground bar by bar in the first phrase, then
// the camera climbs out of a street, glides over the roofs and sinks back in.
#include "tools/models/Scenes.h"

#include "core/ErrorReport.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace models {

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kBlocks = 3;     // blocks from the centre each way: a 7 x 7 city
constexpr float kSpacing = 6;  // block centres; streets run between them
constexpr float kHalfSize = 2; // a tower's half width

// A fixed pseudo-random value in [0, 1) for a block, so the city is the same every build.
float hash(int i, int j, int salt) {
    uint32_t h = uint32_t(i * 73856093) ^ uint32_t(j * 19349663) ^ uint32_t(salt * 83492791);
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return float(h & 0xffff) / 65536.0f;
}

float towerHeight(int i, int j) {
    float centre = 1 - (std::abs(i) + std::abs(j)) / float(2 * kBlocks + 1);
    return 3 + 9 * centre * (0.5f + hash(i, j, 1));
}

// A spire: a pointed cone of `sides` flat faces.
Mesh spire(Vec3 base, float half, float height, int sides, const std::string& material) {
    Mesh m;
    m.points.push_back(base + Vec3{0, 0, height});
    for (int s = 0; s < sides; ++s) {
        float a = 2 * kPi * (s + 0.5f) / sides;
        m.points.push_back(base + Vec3{half * std::cos(a), half * std::sin(a), 0});
    }
    for (int s = 0; s < sides; ++s)
        m.faces.push_back(Face{{0, 1 + s, 1 + (s + 1) % sides}, material, 0});
    // One texel of the material everywhere, as the spire has always shown.
    m.uvs.assign(m.points.size(), Uv{0, 0});
    return m;
}

// The camera must never enter a tower: a picture from inside one is a blank wall.
bool cameraStaysOutside(const Path& position, const Beats& beats, int frames,
                        const std::vector<std::array<Vec3, 2>>& towers) {
    const float margin = 0.5f;
    for (int f = 0; f < frames; ++f) {
        Vec3 p = position(beats.beatAt(f));
        for (const auto& t : towers) {
            bool inside = true;
            for (int a = 0; a < 3; ++a)
                inside = inside && p[a] > t[0][a] - margin && p[a] < t[1][a] + margin;
            if (inside) {
                reportError("Could not place the city's camera: at frame %d it is inside a tower\n", f);
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool buildCity(ModelFile& file, const Beats& beats) {
    ModelFile::Material plain;
    plain.texture = "grid.bmp";
    plain.reflection = 0.35f;
    plain.shininess = 0.8f;
    file.material("plain", plain);
    const Vec3 glassTints[3] = {{0.35f, 0.5f, 0.75f}, {0.7f, 0.55f, 0.4f}, {0.3f, 0.65f, 0.55f}};
    for (int t = 0; t < 3; ++t) {
        ModelFile::Material glass;
        glass.diffuse = glassTints[t];
        glass.reflection = 0.4f;
        glass.shininess = 0.9f;
        glass.shinStrength = 1;
        file.material("glass" + std::to_string(t), glass);
    }
    ModelFile::Material stone;
    stone.texture = "marble.bmp";
    stone.shininess = 0.3f;
    stone.shinStrength = 0.3f;
    file.material("stone", stone);
    ModelFile::Material gold;
    gold.texture = "brass.bmp";
    gold.reflection = 0.4f;
    gold.shininess = 0.8f;
    file.material("gold", gold);

    file.mesh("groundNoS", floorPlane(-30, -30, 60, 60, 0, 0.25f, "plain"));

    std::vector<std::array<Vec3, 2>> towers; // at full height, with what stands on them
    for (int i = -kBlocks; i <= kBlocks; ++i)
        for (int j = -kBlocks; j <= kBlocks; ++j) {
            const float x = i * kSpacing, y = j * kSpacing, height = towerHeight(i, j);
            // Named by block first, so that a block's meshes and its neighbours' follow
            // one another in the file and a ray skips a row of blocks with one test.
            const std::string n = "c" + std::to_string(i + kBlocks) + std::to_string(j + kBlocks);
            // Each tower rises out of the ground in the first phrase, on its own bar.
            const float rise = 4.0f * int(hash(i, j, 2) * 4);
            Motion grow;
            grow.pivot = {x, y, 0};
            grow.scale = [&beats, rise](int f) {
                float s = 0.02f + 0.98f * easeBetween(beats.beatAt(f), rise, rise + 2);
                return Vec3{1, 1, s};
            };
            float kind = hash(i, j, 3);
            if (kind < 0.6f) {
                file.mesh(n + "PAABox22t",
                          box({x - kHalfSize, y - kHalfSize, 0}, {x + kHalfSize, y + kHalfSize, height},
                              "glass" + std::to_string(int(hash(i, j, 4) * 3))),
                          grow);
            } else if (kind < 0.8f) {
                // A stone base with a golden dome.
                file.mesh(n + "PAABox22b",
                          box({x - kHalfSize, y - kHalfSize, 0},
                              {x + kHalfSize, y + kHalfSize, height * 0.5f}, "stone"),
                          grow);
                Motion dome = grow;
                dome.offset = [&beats, rise, height](int f) {
                    float s = easeBetween(beats.beatAt(f), rise, rise + 2);
                    return Vec3{0, 0, (0.02f + 0.98f * s) * height * 0.5f};
                };
                dome.scale = [&beats, rise](int f) {
                    float s = 0.02f + 0.98f * easeBetween(beats.beatAt(f), rise + 1, rise + 3);
                    return Vec3{s, s, s};
                };
                file.mesh(n + "Sphere", sphereProxy({x, y, 0}, kHalfSize * 0.95f, "gold"), dome);
            } else {
                // A low stone block with a spire, growing together: one mesh, since
                // every mesh box costs every ray a test and the two stand together.
                Mesh s = texturedBox({x - kHalfSize, y - kHalfSize, 0}, {x + kHalfSize, y + kHalfSize, 2.5f},
                                     "stone");
                s.append(spire({x, y, 2.5f}, kHalfSize * 0.8f, height, 24, "gold"));
                orderFacesSpatially(s);
                file.mesh(n + "spire", s, grow);
            }
            towers.push_back(
                {Vec3{x - kHalfSize, y - kHalfSize, 0}, Vec3{x + kHalfSize, y + kHalfSize, height + 2.5f}});
        }
    // A great ring turning over the centre of the city.
    // In arcs turning together: its box spans the city, and a ray through it would
    // otherwise test all of its groups.
    Motion slow;
    slow.spin = [&](int f) { return 2 * kPi * beats.beatAt(f) / 64; };
    std::vector<Mesh> halo = cutInRuns(torus({0, 0, 17}, 9, 0.5f, 128, 12, "gold"), 4);
    for (size_t i = 0; i < halo.size(); ++i)
        file.mesh("halo" + std::to_string(i), halo[i], slow);

    // Out of a street, over the roofs, and back into another street, one move per
    // phrase; the streets run at odd multiples of half the block spacing.
    Path position, target;
    position.at(0, {-26, -3, 1.5f})
        .at(16, {-15, -3, 3})
        .at(24, {-15, -3, 16})
        .at(32, {-9, -15, 22})
        .at(48, {16, -24, 18})
        .at(56, {27, 3, 7})
        .at(64, {17, 3, 2.5f});
    target.at(0, {0, -3, 5})
        .at(16, {0, -3, 8})
        .at(32, {0, 0, 4})
        .at(48, {0, 3, 2})
        .at(56, {0, 3, 3})
        .at(64, {0, 3, 4});
    // A low sun, a cold sky light, and a light that follows the camera down.
    file.omniLight(
        "sun",
        [](int) {
            return Vec3{-40, -25, 30};
        },
        [](int) {
            return Vec3{1.0f, 0.85f, 0.65f};
        },
        1.2f);
    file.omniLight(
        "sky",
        [](int) {
            return Vec3{25, 30, 40};
        },
        [&](int f) {
            return Vec3{0.3f, 0.4f, 0.7f} * (0.8f + 0.2f * pulse(beats.beatAt(f) / 2, 4));
        });
    file.omniLight(
        "lamp",
        [&](int f) {
            return position(beats.beatAt(f)) + Vec3{0, 0, 2};
        },
        [](int) {
            return Vec3{0.35f, 0.3f, 0.25f};
        });

    file.camera(
        "camera", [&](int f) { return position(beats.beatAt(f)); },
        [&](int f) { return target(beats.beatAt(f)); },
        [&](int f) { return 60.0f - 10 * easeBetween(beats.beatAt(f), 16, 32); });
    return cameraStaysOutside(position, beats, file.frames(), towers);
}

} // namespace models
