// Scene 1, the intro: near darkness over a polished floor; a warm light sweeps in
// low and reveals a knotted brass sculpture on a plinth; focus is pulled from the
// floor to the sculpture; then the camera circles it while the lights beat.
#include "tools/models/Scenes.h"

#include <cmath>

namespace models {

namespace {

constexpr float kPi = 3.14159265f;
const Vec3 kKnotCentre = {0, 0, 2.85f};

// A (2, 3) torus knot around the z axis.
std::vector<Vec3> knotPath(int points) {
    std::vector<Vec3> path;
    for (int i = 0; i < points; ++i) {
        float t = 2 * kPi * i / points;
        float r = 1.3f + 0.55f * std::cos(3 * t);
        path.push_back(kKnotCentre + Vec3{r * std::cos(2 * t), r * std::sin(2 * t), 0.55f * std::sin(3 * t)});
    }
    return path;
}

} // namespace

bool buildIntro(ModelFile& file, const Beats& beats) {
    ModelFile::Material floor;
    floor.diffuse = {0.55f, 0.55f, 0.6f};
    floor.texture = "marble.bmp";
    floor.reflection = 0.45f;
    floor.shininess = 0.8f;
    file.material("floor", floor);
    ModelFile::Material brass;
    brass.texture = "brass.bmp";
    brass.diffuse = {0.8f, 0.6f, 0.3f};
    brass.specular = {1, 0.9f, 0.7f};
    brass.shininess = 0.7f;
    brass.shinStrength = 0.9f;
    brass.reflection = 0.25f;
    file.material("knot", brass);
    ModelFile::Material plinth;
    plinth.diffuse = {0.15f, 0.15f, 0.17f};
    plinth.reflection = 0.2f;
    file.material("plinth", plinth);
    ModelFile::Material chrome;
    chrome.diffuse = {0.3f, 0.35f, 0.45f};
    chrome.reflection = 0.75f;
    chrome.shininess = 0.9f;
    chrome.shinStrength = 1;
    file.material("orb", chrome);
    ModelFile::Material wood;
    wood.texture = "wood.bmp";
    wood.shininess = 0.2f;
    wood.shinStrength = 0.2f;
    file.material("wood", wood);

    // The floor casts no shadow on anything: named NoS, shadow rays skip it.
    file.mesh("floorNoS", floorPlane(-18, -18, 36, 36, 0, 1 / 3.0f, "floor"));

    Motion turn;
    turn.pivot = kKnotCentre;
    turn.spin = [&](int f) { return 2 * kPi * beats.beatAt(f) / 64; };
    // In pieces along the tube, turning together: a ray through the knot's box
    // then tests a piece's groups, not all of them. 104 lengths of tube make each
    // piece 13 lengths, exactly 8 groups of 26 faces; with smooth normals and the
    // depth of field the knot looks as it did with 168 (in no frame do more than
    // 0.4% of pixels differ by more than 8 of 255), and every ray that leaves or
    // passes it tests fewer.
    std::vector<Mesh> knot = cutInRuns(tube(knotPath(104), 0.32f, 8, "knot"), 8);
    for (size_t i = 0; i < knot.size(); ++i)
        file.mesh("knot" + std::to_string(i), knot[i], turn);
    file.mesh("PAABox22plinth", box({-1.4f, -1.4f, 0}, {1.4f, 1.4f, 1.9f}, "plinth"));

    // Four wooden stones round the plinth, for the light to rake across.
    // True spheres: one test each for the tracer, where a tessellated ball is
    // eleven groups of faces (and all four in one mesh would box the floor between).
    for (int i = 0; i < 4; ++i) {
        float a = kPi / 4 + i * kPi / 2;
        file.mesh("Sphere_stone" + std::to_string(i),
                  sphereProxy({7 * std::cos(a), 7 * std::sin(a), 0.1f}, 0.9f, "wood"));
    }

    // Three chrome orbs circle the knot and bob with the beat once the drums come in.
    for (int i = 0; i < 3; ++i) {
        Motion orbit;
        orbit.offset = [&beats, i](int f) {
            float beat = beats.beatAt(f);
            float a = 2 * kPi * (beat / 32 + i / 3.0f);
            float lift = 0.35f * easeBetween(beat, 30, 32) * bounce(beat / 2);
            return Vec3{3.4f * std::cos(a), 3.4f * std::sin(a), 3.0f + 0.6f * std::sin(a * 2) + lift};
        };
        file.mesh("Sphere" + std::to_string(i + 1), sphereProxy({0, 0, 0}, 0.45f, "orb"), orbit);
    }

    // The warm light comes up out of darkness and sweeps low across the floor from
    // the left to behind the sculpture's right.
    file.omniLight(
        "sweep",
        [&](int f) {
            float beat = beats.beatAt(f);
            float a = kPi * (1.1f - 0.8f * easeBetween(beat, 0, 16));
            return Vec3{9 * std::cos(a), -9 * std::sin(a) + 4, 1.5f + 4 * easeBetween(beat, 12, 24)};
        },
        [&](int f) {
            float beat = beats.beatAt(f);
            float level = 0.08f + 0.92f * easeBetween(beat, 0, 10);
            level *= 1 - 0.3f * easeBetween(beat, 31, 32) * (1 - pulse(beat));
            return Vec3{1.0f, 0.8f, 0.55f} * level;
        },
        1.3f);
    // A cold fill from behind, from beat 16.
    file.omniLight(
        "fill",
        [](int) {
            return Vec3{-6, 10, 9};
        },
        [&](int f) {
            float beat = beats.beatAt(f);
            return Vec3{0.35f, 0.45f, 0.8f} * (easeBetween(beat, 16, 24) * (0.7f + 0.3f * pulse(beat)));
        },
        1.0f);

    // Low over the floor looking down at the light's path, then up to the knot
    // (the focus follows the target), then once around it.
    Path target;
    target.at(0, {-1.5f, -10.5f, 0}).at(16, {-0.5f, -7, 0.2f}).at(24, kKnotCentre).at(48, kKnotCentre);
    Path orbit; // angle, radius, height
    orbit.at(0, {-1.75f, 15, 1.2f})
        .at(16, {-1.6f, 11, 1.4f})
        .at(24, {-1.5f, 10, 2.4f})
        .at(32, {-1.2f, 9, 3.5f})
        .at(48, {0.6f, 8.5f, 4.5f});
    file.camera(
        "camera",
        [&](int f) {
            Vec3 p = orbit(beats.beatAt(f));
            return Vec3{p[1] * std::cos(p[0]), p[1] * std::sin(p[0]), p[2]};
        },
        [&](int f) { return target(beats.beatAt(f)); }, [](int) { return 50.0f; },
        [&](int f) { return -4.0f * easeBetween(beats.beatAt(f), 32, 48); });
    return true;
}

} // namespace models
