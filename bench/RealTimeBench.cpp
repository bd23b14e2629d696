// The show's ray pass before and after the real-time work, side by side in one
// run: each show scene's file flattened at the same beat and traced with the
// shader that came with it, from two data directories (the earlier content and
// shader, and the current ones). Prints the tests per ray of the counting build
// and the best pass time of each, and how far each scene is from the goals.
// bench/realtime.sh builds the earlier data directory and runs this.
#include "bench/BenchScene.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Side : TestsPerRay {
    double seconds = 1e30;
    int meshes = 0;
};

bool countTests(const std::string& data, int size, const FlattenedShowFrame& frame, int numReflections,
                Side& out) {
    RayPassHarness counted;
    if (!loadRayShader(counted, data, "#define COUNT_TESTS\n"))
        return false;
    counted.setUp(size, frame.texels, GL_RGBA32F);
    static_cast<TestsPerRay&>(out) = countTestsPerRay(counted, frame.camera, numReflections, size);
    out.meshes = int(frame.texels[primitive::kHeaderTexel * 4 + primitive::kHeaderMeshes]);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s BEFORE_DATA AFTER_DATA [SIZE] [PASSES] [FILE...]\n", argv[0]);
        return 2;
    }
    const std::string dirs[2] = {argv[1], argv[2]};
    const int size = argc > 3 ? std::atoi(argv[3]) : 800;
    const int passes = argc > 4 ? std::atoi(argv[4]) : 3;
    std::vector<std::string> only(argv + std::min(argc, 5), argv + argc);
    HeadlessContext context;
    if (!startBench(context, size))
        return 1;
    printf(
        "ray pass %dx%d (window aspect 4:3) at beat %.0f of each scene; best of %d passes, taken in turns\n",
        size, size, kSceneBeat, passes);
    printf("%-12s %7s %7s | %6s %6s %6s %6s %6s | %6s %6s %6s %6s %6s | %9s %9s %7s\n", "scene", "meshes",
           "meshes", "box", "tri", "tests", "solid", "ray/px", "box", "tri", "tests", "solid", "ray/px",
           "before ms", "after ms", "faster");
    printf("%-12s %7s %7s | %34s | %34s |\n", "", "before", "after", "before, per ray", "after, per ray");
    bool met = true;
    for (const ShowModel& model : kShowModels) {
        if (!only.empty() && std::find(only.begin(), only.end(), model.file) == only.end())
            continue;
        FlattenedShowFrame frames[2];
        RayPassHarness walks[2];
        Side sides[2];
        for (int s = 0; s < 2; ++s) {
            if (!flattenShowFrame(dirs[s], model, frames[s]) ||
                !countTests(dirs[s], size, frames[s], model.numReflections, sides[s]) ||
                !loadRayShader(walks[s], dirs[s]))
                return 1;
            walks[s].setUp(size, frames[s].texels);
        }
        // In turns, so that a machine busy with other work slows both alike.
        for (int p = 0; p < passes; ++p)
            for (int s = 0; s < 2; ++s)
                sides[s].seconds = std::min(
                    sides[s].seconds, bestPassSeconds(walks[s], frames[s].camera, model.numReflections, 1));
        const Side &b = sides[0], &a = sides[1];
        const double faster = b.seconds / a.seconds;
        const double goal = std::string(model.file) == "ull1.3ds" ? 4.0 : 2.0;
        const bool sceneMet = a.boxes + a.triangles <= 60 && faster >= goal;
        met = met && sceneMet;
        printf("%-12s %7d %7d | %6.1f %6.1f %6.1f %6.2f %6.2f | %6.1f %6.1f %6.1f %6.2f %6.2f | %9.1f %9.1f "
               "%6.1fx %s\n",
               model.file, b.meshes, a.meshes, b.boxes, b.triangles, b.boxes + b.triangles, b.solids,
               b.raysPerPixel, a.boxes, a.triangles, a.boxes + a.triangles, a.solids, a.raysPerPixel,
               b.seconds * 1e3, a.seconds * 1e3, faster, sceneMet ? "met" : "NOT MET");
        fflush(stdout);
    }
    printf(
        "goals: at most 60 box and triangle tests per ray after; the pass at least 2x faster (ull1.3ds 4x); "
        "%s\n",
        met ? "all met" : "NOT ALL MET");
    return met ? 0 : 3;
}
