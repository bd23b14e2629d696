// Scene 3, the flight: down a long square truss at four units a beat, so a ring
// of the truss passes on every beat; lights come towards the camera and pass it,
// the camera changes lane and banks once per phrase.
#include "tools/models/Scenes.h"

#include "core/ErrorReport.h"

#include <cmath>
#include <string>

namespace models {

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kSegment = 4;          // ring spacing, and the camera's way per beat
constexpr float kHalf = 3;             // half the truss's side
constexpr int kParts = 10;             // of eight rings, a ball in each
constexpr int kSegmentsPerSection = 8; // rings per section of the truss's meshes
constexpr int kSections = kParts * 8 / kSegmentsPerSection;
constexpr int kLights = 3;        // one passes the camera every bar
constexpr float kLightRange = 48; // a light travels this far, relative to the camera

Vec3 corner(float x, int c) {
    return {x, c == 1 || c == 2 ? kHalf : -kHalf, c >= 2 ? kHalf : -kHalf};
}

float cameraX(float beat) {
    return -6 + kSegment * beat;
}

// Where light k is, relative to the camera, and how bright: it appears far ahead,
// passes the camera and fades out behind.
float lightAhead(float beat, int k) {
    float phase = std::fmod(kSegment * beat + k * kLightRange / kLights, kLightRange);
    if (phase < 0)
        phase += kLightRange;
    return kLightRange * 0.75f - phase;
}
float lightLevel(float ahead) {
    float t = (kLightRange * 0.75f - ahead) / kLightRange;
    return std::sin(kPi * t);
}

// Whether a face of a beam from a can be seen from inside the truss: the camera,
// the lights and the deck's reflections stay inside it, and a shadow ray from the
// walls crossing a beam still meets the faces left. A face is unseen only where
// it looks away from the whole inner cross-section and not along the flight
// (which a point further down the truss could see).
bool seenFromInside(const Mesh& beam, const Face& face, Vec3 a, Vec3 along) {
    constexpr float kInside = kHalf - 0.2f;
    auto dot = [](Vec3 p, Vec3 q) { return p[0] * q[0] + p[1] * q[1] + p[2] * q[2]; };
    Vec3 centre = {0, 0, 0};
    for (int p : face.points)
        centre = centre + beam.points[p] * (1.0f / 3);
    // The face's own normal, turned away from the beam's line: the centre of a
    // triangle sits off the middle of its side, so its offset from the line is no
    // normal.
    const Vec3 fromLine = centre - a;
    const Vec3 p0 = beam.points[face.points[0]];
    Vec3 outward = normalized(cross(beam.points[face.points[1]] - p0, beam.points[face.points[2]] - p0));
    if (dot(outward, fromLine - along * dot(fromLine, along)) < 0)
        outward = outward * -1.0f;
    bool seen = std::fabs(outward[0]) > 1e-3f;
    for (int corner = 0; corner < 4 && !seen; ++corner) {
        const Vec3 inside = {centre[0], corner & 1 ? kInside : -kInside, corner & 2 ? kInside : -kInside};
        seen = dot(outward, inside - centre) > 0;
    }
    return seen;
}

// A beam's faces that are (or are not) seen from inside the truss.
Mesh beamFaces(Vec3 a, Vec3 b, float width, const std::string& material, bool seen) {
    Mesh full = beam(a, b, width, material);
    Mesh kept;
    kept.points = full.points;
    const Vec3 along = normalized(b - a);
    for (const Face& face : full.faces)
        if (seenFromInside(full, face, a, along) == seen)
            kept.faces.push_back(face);
    return kept;
}

// A beam of the truss without its unseen faces: fewer faces make fewer groups for
// every ray that enters a side of the truss.
Mesh innerBeam(Vec3 a, Vec3 b, float width, const std::string& material) {
    return beamFaces(a, b, width, material, true);
}

// A ring piece of exactly one group's 26 faces, so that its box is its own, thin
// along the flight: rays that cross a side between rings, or meet the deck
// between the ribs, enter none. Its seen sides in four lengths (24 faces) and its
// outer side whole (2).
Mesh ringPiece(Vec3 a, Vec3 b, float width, const std::string& material) {
    constexpr int kLengths = 4;
    Mesh piece = beamFaces(a, b, width, material, false);
    for (int i = 0; i < kLengths; ++i)
        piece.append(innerBeam(a + (b - a) * (float(i) / kLengths), a + (b - a) * (float(i + 1) / kLengths),
                               width, material));
    return piece;
}

} // namespace

bool buildLattice(ModelFile& file, const Beats& beats) {
    ModelFile::Material steel;
    steel.texture = "brushed.bmp";
    steel.shininess = 0.6f;
    steel.shinStrength = 0.7f;
    file.material("steel", steel);
    ModelFile::Material brace;
    brace.diffuse = {0.75f, 0.3f, 0.1f};
    brace.shininess = 0.4f;
    file.material("brace", brace);
    ModelFile::Material deck;
    deck.diffuse = {0.08f, 0.1f, 0.14f};
    deck.reflection = 0.55f;
    deck.shininess = 0.9f;
    file.material("deck", deck);
    ModelFile::Material lava;
    lava.texture = "lava.bmp";
    lava.shininess = 0.3f;
    file.material("lava", lava);
    ModelFile::Material grid;
    grid.texture = "grid.bmp";
    grid.shininess = 0.2f;
    grid.shinStrength = 0.2f;
    file.material("wall", grid);

    // The truss in sections, each cut into its four sides: a side is a thin slab
    // (its rail, the ring pieces along that side, and on its own its braces), so
    // rays flying down the middle enter only the slabs they cross, where a mesh
    // around the whole truss would hold the camera and every ray. In a side, each
    // ring piece is one group and the rail's pieces follow them: a ray that crosses
    // the side between rings, and every ray that meets or leaves the deck (which
    // lies in the bottom slab), enters only group boxes it comes near.
    // Each section's meshes are written together and named after it, so that they
    // follow one another in the file and a ray skips a whole section far off with
    // one test of the box around its meshes.
    for (int section = 0; section < kSections; ++section) {
        const float x0 = section * kSegmentsPerSection * kSegment;
        const std::string prefix = "s" + std::string(section < 10 ? "0" : "") + std::to_string(section);
        for (int c = 0; c < 4; ++c) {
            Mesh side, rail, braces;
            for (int s = 0; s < kSegmentsPerSection; ++s) {
                float x = x0 + s * kSegment;
                const Mesh piece = ringPiece(corner(x, c), corner(x, (c + 1) % 4), 0.22f, "steel");
                if (piece.faces.size() != size_t(kGroupFaces)) {
                    reportError("Could not cut the truss: a ring piece has %zu faces, not one group's %d\n",
                                piece.faces.size(), kGroupFaces);
                    return false;
                }
                side.append(piece);
                // The rail in ring-to-ring pieces: a long beam would stretch every
                // group of faces it falls into along the whole section.
                rail.append(innerBeam(corner(x, c), corner(x + kSegment, c), 0.3f, "steel"));
                // Diagonals on the sides and the roof, alternating.
                if (c != 0)
                    braces.append(innerBeam(corner(x + (s % 2 ? kSegment : 0), c),
                                            corner(x + (s % 2 ? 0 : kSegment), (c + 1) % 4), 0.12f, "brace"));
            }
            side.append(rail);
            file.mesh(prefix + "truss" + std::to_string(c), side);
            if (!braces.faces.empty()) {
                orderFacesSpatially(braces);
                // Thin braces throw busy shadows at speed: they cast none.
                file.mesh(prefix + "braceNoS" + std::to_string(c), braces);
            }
        }
        // A glowing ball hangs under the roof every eight rings.
        for (int part = 0; part < kParts; ++part) {
            const int ring = part * 8 + 4;
            if (ring / kSegmentsPerSection == section)
                file.mesh(prefix + "Sphere" + std::to_string(part),
                          sphereProxy({ring * kSegment, 0, kHalf - 0.9f}, 0.55f, "lava"));
        }
    }
    // One deck under the whole truss: every mesh box is tested by every ray, so a
    // box per part would cost each ray ten tests where one does.
    file.mesh("PAABox22deck", box({0, -kHalf + 0.4f, -kHalf - 0.2f},
                                  {kParts * 8 * kSegment, kHalf - 0.4f, -kHalf + 0.05f}, "deck"));
    // Walls far out on both sides, so the lights have something to paint: one face
    // pair each, the grid repeating every eight units along it.
    for (int side = 0; side < 2; ++side) {
        float y = side ? 14 : -14;
        Mesh wall = floorPlane(0, 0, 40, 1, 0, 1, "wall");
        for (Vec3& p : wall.points)
            p = Vec3{p[0] * 8, y, -6 + p[1] * 12};
        file.mesh(side ? "wallL" : "wallR", wall);
    }

    for (int k = 0; k < kLights; ++k) {
        file.omniLight(
            "pass" + std::to_string(k),
            [&beats, k](int f) {
                float beat = beats.beatAt(f);
                float ahead = lightAhead(beat, k);
                return Vec3{cameraX(beat) + ahead, k == 1 ? 1.8f : -1.8f, k == 2 ? -1.2f : 1.5f};
            },
            [&beats, k](int f) {
                float beat = beats.beatAt(f);
                const Vec3 tint[kLights] = {{1, 0.75f, 0.4f}, {0.4f, 0.7f, 1}, {1, 0.45f, 0.6f}};
                return tint[k] * (0.9f * lightLevel(lightAhead(beat, k)));
            });
    }
    // A dim light travelling with the camera keeps the near truss visible.
    file.omniLight(
        "near",
        [&](int f) {
            return Vec3{cameraX(beats.beatAt(f)) + 2, 0, 2};
        },
        [](int) {
            return Vec3{0.25f, 0.25f, 0.3f};
        });

    // Lane and bank change once per phrase.
    Path lane; // y, z, roll
    lane.at(0, {0, 0, 0})
        .at(16, {-1.2f, 0.6f, 12})
        .at(32, {1.2f, -0.8f, -14})
        .at(48, {0.8f, 1.0f, 8})
        .at(64, {0, 0, 0});
    file.camera(
        "camera",
        [&](int f) {
            float beat = beats.beatAt(f);
            Vec3 l = lane(beat);
            return Vec3{cameraX(beat), l[0], l[1]};
        },
        [&](int f) {
            float beat = beats.beatAt(f);
            Vec3 l = lane(beat + 2);
            return Vec3{cameraX(beat) + 12, l[0] * 0.5f, l[1] * 0.5f};
        },
        [](int) { return 70.0f; }, [&](int f) { return lane(beats.beatAt(f))[2]; });
    return true;
}

} // namespace models
