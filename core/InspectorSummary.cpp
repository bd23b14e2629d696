#include "core/InspectorSummary.h"

#include "core/MusicTime.h"
#include "core/PrimitiveWriter.h"
#include "core/Studio3dsFile.h"

#include <cmath>

namespace {

// A polygon scene of the show counts 16 frames per beat (scene 4 alone 8) and most
// run 64 beats: what an arbitrary file is measured against.
constexpr int kTypicalFramesPerBeat = 16;
constexpr float kTypicalBeats = 64;

const char* plural(int n) {
    return n == 1 ? "" : "s";
}

// Omni lights of the file that no omnilight node names: they are not traced.
int omniLightsWithoutNode(const Studio3dsFile& file) {
    int count = 0;
    for (int i = 0; i < file.lightCount(); ++i) {
        if (file.lights()[i].spot)
            continue;
        bool named = false;
        for (const Studio3dsNode& n : file.nodes())
            named = named || (n.kind == Studio3dsNode::kOmnilight && n.light == i);
        count += !named;
    }
    return count;
}

void printFrames(FILE* out, int fileFrames, const ShowPace& pace) {
    const bool show = pace.framesPerBeat > 0;
    const int perBeat = show ? pace.framesPerBeat : kTypicalFramesPerBeat;
    const float beats = show ? pace.beats : kTypicalBeats;
    const int asked = framesAsked(perBeat, beats);
    fprintf(out, "frames: %d in the file; ", fileFrames);
    if (show)
        fprintf(out, "scene %d of the show asks for %d (%d per beat over %g beats)", pace.scene, asked,
                perBeat, beats);
    else
        fprintf(out, "a scene at %d per beat asks for %d over %g beats (frames per beat x (beats + %g) + 1)",
                perBeat, asked, beats, kAnimationBeatOffset);
    // The scene takes the frame modulo the file's count: a short file starts over.
    fprintf(out, fileFrames >= asked ? "\n" : "; past the file's last frame the animation starts over\n");
}

} // namespace

int framesAsked(int framesPerBeat, float beats) {
    return int(std::floor(double(framesPerBeat) * (double(beats) + kAnimationBeatOffset))) + 1;
}

void printInspectorSummary(FILE* out, const Studio3dsFile& file, const FlattenReport& report,
                           const ShowPace& pace) {
    fprintf(out, "meshes: %d drawn from %zu in the file (%d triangle mesh%s, %d sphere%s, %d box%s)\n",
            report.meshes, file.meshes().size(), report.triangleMeshes,
            report.triangleMeshes == 1 ? "" : "es", report.spheres, plural(report.spheres), report.boxes,
            report.boxes == 1 ? "" : "es");
    fprintf(out, "triangles: %d in %d group%s\n", report.triangles, report.triangleGroups,
            plural(report.triangleGroups));

    int spots = 0;
    for (const Studio3dsLight& l : file.lights())
        spots += l.spot;
    fprintf(out, "lights: %d traced of %d in the file, %d on", report.lights, file.lightCount(),
            report.lightsOn);
    if (spots)
        fprintf(out, "; %d spotlight%s, not traced", spots, plural(spots));
    if (int bare = omniLightsWithoutNode(file))
        fprintf(out, "; %d omni light%s without a node, not traced", bare, plural(bare));
    fprintf(out, "\n");

    switch (report.camera.source) {
    case FlattenCamera::kCameraNodes:
        fprintf(out, "camera: %s, from its camera and target nodes\n", file.cameras()[0].name.c_str());
        break;
    case FlattenCamera::kCameraRecord:
        fprintf(out, "camera: %s, from its own record (it has no camera or target node)\n",
                file.cameras()[0].name.c_str());
        break;
    case FlattenCamera::kWholeSceneView:
        fprintf(out, "camera: none, a view of the whole scene\n");
        break;
    }
    printFrames(out, file.frames(), pace);
}
