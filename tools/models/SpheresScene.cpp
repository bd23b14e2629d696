// Scene 2, the kinetic sculpture: a hovering chrome sphere over a brass ring, and
// eight coloured spheres circling it, landing on every beat, all mirroring each
// other between four mirror pillars. The camera circles, one move per phrase.
#include "tools/models/Scenes.h"

#include <cmath>
#include <string>

namespace models {

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kBalls = 8;
constexpr float kOrbit = 5.0f;

} // namespace

bool buildSpheres(ModelFile& file, const Beats& beats) {
    ModelFile::Material floor;
    floor.texture = "checker.bmp";
    floor.reflection = 0.3f;
    floor.shininess = 0.6f;
    file.material("floor", floor);
    ModelFile::Material chrome;
    chrome.diffuse = {0.45f, 0.45f, 0.5f};
    chrome.reflection = 0.7f; // enough light of its own to keep its top from the black sky
    chrome.shininess = 0.95f;
    chrome.shinStrength = 1;
    file.material("chrome", chrome);
    ModelFile::Material brass;
    brass.texture = "brass.bmp";
    brass.shininess = 0.7f;
    brass.shinStrength = 0.8f;
    brass.reflection = 0.2f;
    file.material("ring", brass);
    ModelFile::Material pillar;
    pillar.diffuse = {0.1f, 0.1f, 0.12f};
    pillar.reflection = 0.8f;
    file.material("pillar", pillar);
    ModelFile::Material stripes;
    stripes.texture = "stripes.bmp";
    stripes.shininess = 0.5f;
    file.material("spokes", stripes);
    const Vec3 colours[kBalls] = {{0.9f, 0.15f, 0.1f}, {0.95f, 0.5f, 0.05f}, {0.9f, 0.85f, 0.1f},
                                  {0.2f, 0.8f, 0.2f},  {0.1f, 0.75f, 0.8f},  {0.15f, 0.3f, 0.95f},
                                  {0.55f, 0.2f, 0.9f}, {0.9f, 0.2f, 0.6f}};
    for (int i = 0; i < kBalls; ++i) {
        ModelFile::Material ball;
        ball.diffuse = colours[i];
        ball.shininess = 0.8f;
        ball.shinStrength = 0.9f;
        ball.reflection = 0.3f;
        file.material("ball" + std::to_string(i), ball);
    }

    file.mesh("floorNoS", floorPlane(-20, -20, 40, 40, 0, 0.125f, "floor"));

    // The ring the balls run on, and spokes from it to the hub, turning slowly.
    // The ring in arcs: whole, its box would hold the hub and every ray near it.
    // 48 lengths around look as 96 did (in no frame do more than 1% of pixels
    // differ by more than 8 of 255, in the highlights, not the outline) with half
    // the groups for a ray to test.
    std::vector<Mesh> ring = cutInRuns(torus({0, 0, 0.25f}, kOrbit, 0.25f, 48, 8, "ring"), 8);
    for (size_t i = 0; i < ring.size(); ++i)
        file.mesh("ring" + std::to_string(i), ring[i]);
    // Each spoke and the axle a mesh of its own, turning together: in one mesh the
    // groups of faces would join neighbouring spokes, and every ray that meets the
    // floor inside the ring would enter the box round all of them.
    Motion turning;
    turning.spin = [&](int f) { return -2 * kPi * beats.beatAt(f) / 32; };
    for (int i = 0; i < 8; ++i) {
        float a = 2 * kPi * (i + 0.5f) / 8;
        file.mesh("spokes" + std::to_string(i),
                  beam({0.8f * std::cos(a), 0.8f * std::sin(a), 0.25f},
                       {(kOrbit - 0.2f) * std::cos(a), (kOrbit - 0.2f) * std::sin(a), 0.25f}, 0.22f,
                       "spokes"),
                  turning);
    }
    Mesh axle = uvSphere({0, 0, 0.25f}, 0.9f, 8, 12, "ring");
    orderFacesSpatially(axle);
    file.mesh("spokesAxle", axle, turning);

    // The hub: a chrome sphere hovering over the centre, swelling on every bar.
    Motion hover;
    hover.offset = [&](int f) {
        float beat = beats.beatAt(f);
        return Vec3{0, 0, 3.2f + 0.3f * std::sin(2 * kPi * beat / 16)};
    };
    hover.scale = [&](int f) {
        float s = 1 + 0.12f * pulse(beats.beatAt(f) / 4, 3);
        return Vec3{s, s, s};
    };
    file.mesh("Sphere_hub", sphereProxy({0, 0, 0}, 2.0f, "chrome"), hover);

    // Eight balls, one revolution per 16 beats, bouncing so that they land on the beat.
    for (int i = 0; i < kBalls; ++i) {
        Motion run;
        run.offset = [&beats, i](int f) {
            float beat = beats.beatAt(f);
            float a = 2 * kPi * (beat / 16 + float(i) / kBalls);
            float hop = (i % 2 ? 1.2f : 2.0f) * bounce(beat);
            return Vec3{kOrbit * std::cos(a), kOrbit * std::sin(a), 1.15f + hop};
        };
        file.mesh("Sphere_ball" + std::to_string(i),
                  sphereProxy({0, 0, 0}, 0.65f, "ball" + std::to_string(i)), run);
    }

    for (int i = 0; i < 4; ++i) {
        float x = i & 1 ? 15 : -15, y = i & 2 ? 15 : -15; // beyond the camera's circle
        file.mesh("PAABox22_pillar" + std::to_string(i),
                  box({x - 0.9f, y - 0.9f, 0}, {x + 0.9f, y + 0.9f, 7}, "pillar"));
    }

    // A white key light, a warm light flashing on every beat, a blue rim light.
    file.omniLight(
        "key",
        [](int) {
            return Vec3{-8, -10, 14};
        },
        [](int) {
            return Vec3{0.9f, 0.9f, 0.85f};
        });
    file.omniLight(
        "beat",
        [&](int f) {
            float a = 2 * kPi * beats.beatAt(f) / 32;
            return Vec3{7 * std::cos(a), 7 * std::sin(a), 8};
        },
        [&](int f) {
            return Vec3{1.0f, 0.55f, 0.2f} * (0.15f + 0.6f * pulse(beats.beatAt(f), 5));
        });
    file.omniLight(
        "rim",
        [](int) {
            return Vec3{10, 12, 5};
        },
        [](int) {
            return Vec3{0.2f, 0.3f, 0.7f};
        });

    // Around the sculpture, one move per 16-beat phrase: angle, distance, height.
    Path orbit;
    orbit.at(0, {-1.9f, 16, 4})
        .at(16, {-1.1f, 14, 6})
        .at(32, {0.2f, 12, 3})
        .at(48, {1.2f, 15, 9})
        .at(64, {2.4f, 14, 5});
    Path target;
    target.at(0, {0, 0, 2}).at(32, {0, 0, 2.5f}).at(48, {0, 0, 1}).at(64, {0, 0, 2});
    file.camera(
        "camera",
        [&](int f) {
            Vec3 p = orbit(beats.beatAt(f));
            return Vec3{p[1] * std::cos(p[0]), p[1] * std::sin(p[0]), p[2]};
        },
        [&](int f) { return target(beats.beatAt(f)); }, [](int) { return 55.0f; });
    return true;
}

} // namespace models
