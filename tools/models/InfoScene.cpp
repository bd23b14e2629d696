// Scene 6, the close: HORNLIGHT in letters of blocks standing on a dark mirror.
// The letters drop in one per beat, the camera runs along them, then pulls back
// and up while the lights fade with the music.
#include "tools/models/Scenes.h"

#include <cmath>
#include <string>

namespace models {

namespace {

constexpr float kPi = 3.14159265f;
constexpr char kWord[] = "HORNLIGHT";
constexpr int kLetters = 9;
constexpr float kPixel = 1.0f;   // a letter is 5 x 7 pixels
constexpr float kAdvance = 6.5f; // letter spacing
constexpr float kDepth = 1.2f;

// 5 x 7 glyphs, top row first.
const char* glyph(char c) {
    switch (c) {
    case 'H':
        return "#...##...##...#######...##...##...#";
    case 'O':
        return ".###.#...##...##...##...##...#.###.";
    case 'R':
        return "####.#...##...#####.#.#..#..#.#...#";
    case 'N':
        return "#...###..##.#.##..###...##...##...#";
    case 'L':
        return "#....#....#....#....#....#....#####";
    case 'I':
        return "#####..#....#....#....#....#..#####";
    case 'G':
        return ".###.#...##....#.####...##...#.###.";
    case 'T':
        return "#####..#....#....#....#....#....#..";
    }
    return "";
}

bool lit(const char* g, int column, int row) {
    return column >= 0 && column < 5 && row >= 0 && row < 7 && g[row * 5 + column] == '#';
}

float letterX(int index) {
    return (index - (kLetters - 1) / 2.0f) * kAdvance - 2.5f * kPixel;
}

// A letter as one mesh of blocks, one per lit pixel, without the faces between
// neighbouring blocks. The letter stands in the xz plane, its face towards -y.
Mesh blockLetter(const char* g, float x0, const std::string& material) {
    Mesh letter;
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 5; ++column) {
            if (!lit(g, column, row))
                continue;
            Vec3 lo = {x0 + column * kPixel, 0, (6 - row) * kPixel};
            Mesh b = box(lo, lo + Vec3{kPixel, kDepth, kPixel}, material);
            // Faces: -z, +z, -y, +y, -x, +x, two each; drop those against a neighbour.
            const bool hidden[6] = {lit(g, column, row + 1), lit(g, column, row - 1), false, false,
                                    lit(g, column - 1, row), lit(g, column + 1, row)};
            Mesh kept;
            kept.points = b.points;
            for (int side = 0; side < 6; ++side)
                if (!hidden[side])
                    for (int k = 0; k < 2; ++k)
                        kept.faces.push_back(b.faces[2 * side + k]);
            letter.append(kept);
        }
    return letter;
}

} // namespace

bool buildInfo(ModelFile& file, const Beats& beats) {
    ModelFile::Material floor;
    floor.diffuse = {0.1f, 0.1f, 0.12f};
    floor.texture = "grid.bmp";
    floor.reflection = 0.5f;
    floor.shininess = 0.9f;
    file.material("floor", floor);
    const char* letterTextures[3] = {"brushed.bmp", "brass.bmp", "stripes.bmp"};
    for (int t = 0; t < 3; ++t) {
        ModelFile::Material m;
        m.texture = letterTextures[t];
        m.shininess = 0.7f;
        m.shinStrength = 0.8f;
        m.reflection = 0.15f;
        file.material("letter" + std::to_string(t), m);
    }
    ModelFile::Material bar;
    bar.diffuse = {0.85f, 0.8f, 0.7f};
    bar.shininess = 0.8f;
    bar.reflection = 0.3f;
    file.material("bar", bar);
    ModelFile::Material orb;
    orb.diffuse = {0.3f, 0.3f, 0.35f};
    orb.reflection = 0.8f;
    orb.shininess = 0.95f;
    orb.shinStrength = 1;
    file.material("orb", orb);

    file.mesh("floorNoS", floorPlane(-40, -30, 80, 40, 0, 0.25f, "floor"));

    // Each letter drops from above and lands on its beat, the first on beat 1.
    for (int i = 0; i < kLetters; ++i) {
        const char c = kWord[i];
        const float x0 = letterX(i);
        Motion drop;
        drop.offset = [&beats, i](int f) {
            float fall = 1 - easeBetween(beats.beatAt(f), float(i), float(i + 1));
            return Vec3{0, 0, 30 * fall * fall};
        };
        const std::string name = std::string(1, c) + std::to_string(i);
        if (c == 'L' || c == 'I' || c == 'T') {
            // Straight letters are solid bars: boxes the tracer meets in one test.
            std::vector<std::array<Vec3, 2>> bars;
            auto bar = [&](int c0, int r0, int c1, int r1) {
                bars.push_back({Vec3{x0 + c0 * kPixel, 0, (6 - r1) * kPixel},
                                Vec3{x0 + (c1 + 1) * kPixel, kDepth, (7 - r0) * kPixel}});
            };
            if (c == 'L') {
                bar(0, 0, 0, 5);
                bar(0, 6, 4, 6);
            } else if (c == 'I') {
                bar(0, 0, 4, 0);
                bar(2, 1, 2, 5);
                bar(0, 6, 4, 6);
            } else {
                bar(0, 0, 4, 0);
                bar(2, 1, 2, 6);
            }
            for (size_t b = 0; b < bars.size(); ++b)
                file.mesh("PAABox22" + name + char('a' + b), box(bars[b][0], bars[b][1], "bar"), drop);
        } else {
            Mesh letter = blockLetter(glyph(c), x0, "letter" + std::to_string(i % 3));
            orderFacesSpatially(letter);
            file.mesh(name, letter, drop);
        }
    }

    // Mirror orbs drift round the word.
    for (int k = 0; k < 4; ++k) {
        Motion drift;
        drift.offset = [&beats, k](int f) {
            float beat = beats.beatAt(f);
            float a = 2 * kPi * (beat / 64 + k / 4.0f);
            // Wide enough to pass the ends of the word, never through it.
            return Vec3{38 * std::cos(a), 4 + 9 * std::sin(a), 4.5f + 1.5f * std::sin(2 * a + k)};
        };
        file.mesh("Sphere" + std::to_string(k), sphereProxy({0, 0, 0}, 1.2f, "orb"), drift);
    }
    // Everything fades out over the last phrase, with the music.
    auto fade = [&beats](int f) { return 1 - 0.9f * easeBetween(beats.beatAt(f), 48, 64); };
    file.omniLight(
        "key",
        [](int) {
            return Vec3{-12, -22, 18};
        },
        [&, fade](int f) {
            return Vec3{1, 0.92f, 0.8f} * fade(f);
        });
    file.omniLight(
        "sweep",
        [&](int f) {
            float a = kPi * beats.beatAt(f) / 16;
            return Vec3{24 * std::cos(a), -6, 3 + 2 * std::sin(a)};
        },
        [&, fade](int f) {
            return Vec3{0.3f, 0.5f, 1.0f} * (fade(f) * (0.6f + 0.4f * pulse(beats.beatAt(f), 4)));
        });

    // Close along the word, then back and up, away.
    Path position, target;
    position.at(0, {-31, -10, 3})
        .at(16, {14, -11, 4})
        .at(32, {0, -40, 8})
        .at(48, {0, -62, 14})
        .at(64, {0, -95, 30});
    target.at(0, {-26, 0, 3.5f}).at(16, {10, 0, 3.5f}).at(32, {0, 0, 3.5f}).at(64, {0, 0, 3});
    file.camera(
        "camera", [&](int f) { return position(beats.beatAt(f)); },
        [&](int f) { return target(beats.beatAt(f)); }, [](int) { return 55.0f; });
    return true;
}

} // namespace models
