// The ray pass through the box hierarchy against a shader that tests every
// record (BRUTE_FORCE), on the benchmarks' generated scene and on each show scene
// at the same animation frame, on whatever GL the headless context gets (llvmpipe
// without a GPU). Both walks must give the same picture, compared in a build that
// runs both (CHECK_WALKS). A counting build of the shader (COUNT_TESTS) gives the
// box and triangle tests per ray of the hierarchy.
// Run from the build directory, or pass the data directory, the pass size and
// the show files to measure.
#include "bench/BenchScene.h"
#include "support/PngFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Figures {
    double hierarchy = 0, bruteForce = 0; // seconds per pass
    double boxes = 0, triangles = 0, solids = 0, raysPerPixel = 0;
    int differing = 0;         // pixels whose colour differs visibly
    int otherDistance = 0;     // pixels whose first hit lies elsewhere
    double meanDifference = 0; // per channel, over the picture
};

// Runs the four builds of the shader on one primitive buffer.
// With RAYPASS_PICTURES set to a directory, both pictures of each scene, a mask
// of the pixels that differ and the counting build's tests of each pixel (red the
// triangle tests, green the box tests, full at 256 each: which part of a scene
// costs its rays most) are written there as PNG files.
void keepPictures(const std::string& name, const std::vector<float>& walked, const std::vector<float>& every,
                  RayPassHarness& counted, int size) {
    const char* dir = getenv("RAYPASS_PICTURES");
    if (!dir)
        return;
    std::vector<float> mask(walked.size(), 1.0f);
    for (size_t i = 0; i + 3 < walked.size(); i += 4)
        mask[i] = mask[i + 1] = mask[i + 2] = differingPixels({walked.begin() + i, walked.begin() + i + 4},
                                                              {every.begin() + i, every.begin() + i + 4});
    const std::vector<float> counts = counted.pixels();
    std::vector<float> tests(counts.size(), 0.0f);
    for (size_t i = 0; i + 3 < counts.size(); i += 4) {
        tests[i] = counts[i + 1] / 256.0f;
        tests[i + 1] = counts[i] / 256.0f;
    }
    const std::string base = std::string(dir) + "/" + name;
    if (!writePng(base + "_hierarchy.png", walked, size, size) ||
        !writePng(base + "_every.png", every, size, size) ||
        !writePng(base + "_differing.png", mask, size, size) ||
        !writePng(base + "_tests.png", tests, size, size))
        fprintf(stderr, "ERROR: Could not write the pictures of %s into %s\n", name.c_str(), dir);
}

bool measure(const std::string& name, const std::string& data, int size, const std::vector<float>& texels,
             const RayPassHarness::Camera& camera, int numReflections, int passes, Figures& out) {
    RayPassHarness walked, everyRecord, both, counted;
    if (!loadRayShader(walked, data) || !loadRayShader(everyRecord, data, "#define BRUTE_FORCE\n") ||
        !loadRayShader(both, data, "#define CHECK_WALKS\n") ||
        !loadRayShader(counted, data, "#define COUNT_TESTS\n"))
        return false;
    walked.setUp(size, texels);
    everyRecord.setUp(size, texels);
    both.setUp(size, texels);
    counted.setUp(size, texels, GL_RGBA32F);

    // Timed: the show's own build against every record. Compared: the checking
    // build, which takes both walks for every ray and keeps the one asked for.
    out.hierarchy = bestPassSeconds(walked, camera, numReflections, passes);
    out.bruteForce = bestPassSeconds(everyRecord, camera, numReflections, 1);
    std::vector<float> pictures[2];
    for (int every : {0, 1}) {
        both.setUniform("everyRecord", every);
        both.draw(camera, numReflections, 800, 600);
        pictures[every] = both.pixels();
    }
    const std::vector<float>& walkedPicture = pictures[0];
    const std::vector<float>& everyPicture = pictures[1];
    out.differing = differingPixels(walkedPicture, everyPicture);
    for (size_t i = 0; i + 3 < walkedPicture.size(); i += 4) {
        for (int c = 0; c < 3; ++c)
            out.meanDifference += std::fabs(walkedPicture[i + c] - everyPicture[i + c]);
        const float a = walkedPicture[i + 3], b = everyPicture[i + 3];
        if (std::fabs(a - b) > 1e-3f * std::max(a, b))
            ++out.otherDistance;
    }
    out.meanDifference /= 3.0 * size * size;

    const TestsPerRay tests = countTestsPerRay(counted, camera, numReflections, size);
    keepPictures(name, walkedPicture, everyPicture, counted, size);
    out.boxes = tests.boxes;
    out.triangles = tests.triangles;
    out.solids = tests.solids;
    out.raysPerPixel = tests.raysPerPixel;
    return true;
}

// The same picture: every primary ray but a hundredth of a percent finds its first
// hit at the same distance, and the colours differ by less than 1/500 on average.
// Rays that graze triangle edges may still resolve either way.
bool samePicture(const Figures& f, int pixels) {
    return f.otherDistance <= pixels / 10000 && f.meanDifference < 0.002;
}

void printRow(const char* name, int triangles, int numReflections, const Figures& f, int pixels) {
    printf("%-12s %9d %4d %10.1f %10.1f %7.1fx %8.1f %8.1f %7.2f %6.2f %6.2f%% %6d %9.5f %s\n", name,
           triangles, numReflections, f.hierarchy * 1e3, f.bruteForce * 1e3, f.bruteForce / f.hierarchy,
           f.boxes, f.triangles, f.solids, f.raysPerPixel, 100.0 * f.differing / pixels, f.otherDistance,
           f.meanDifference, samePicture(f, pixels) ? "same" : "DIFFERENT");
    fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const std::string data = argc > 1 ? argv[1] : "data";
    const int size = argc > 2 ? std::atoi(argv[2]) : 400;
    std::vector<std::string> only(argv + std::min(argc, 3), argv + argc);
    HeadlessContext context;
    if (!startBench(context, size))
        return 1;
    printf(
        "ray pass %dx%d (window aspect 4:3); hierarchy best of 3, every record 1 pass; show scenes at beat "
        "%.0f\n",
        size, size, kSceneBeat);
    printf("%-12s %9s %4s %10s %10s %8s %8s %8s %7s %6s %7s %6s %9s %s\n", "scene", "triangles", "refl",
           "hier. ms", "brute ms", "ratio", "box/ray", "tri/ray", "sol/ray", "ray/px", "differ", "1sthit",
           "mean diff", "picture");
    bool same = true;
    if (only.empty()) {
        PrimitiveSceneBuilder scene;
        buildBenchScene(scene);
        Figures f;
        if (!measure("generated", data, size, scene.finish(), kBenchCamera, 1, 3, f))
            return 1;
        printRow("generated", scene.triangleTexels() / primitive::kTriangleTexels, 1, f, size * size);
        same = same && samePicture(f, size * size);
    }
    for (const ShowModel& model : kShowModels) {
        if (!only.empty() && std::find(only.begin(), only.end(), model.file) == only.end())
            continue;
        FlattenedShowFrame frame;
        Figures f;
        if (!flattenShowFrame(data, model, frame) ||
            !measure(model.file, data, size, frame.texels, frame.camera, model.numReflections, 3, f))
            return 1;
        printRow(model.file, frame.report.triangles, model.numReflections, f, size * size);
        same = same && samePicture(f, size * size);
    }
    printf(
        "goal: hierarchy at least 10x faster than every record. differ: pixels whose colour differs by more "
        "than 0.02; 1sthit: pixels whose first hit lies at another distance; pictures %s\n",
        same ? "the same" : "DIFFER");
    return same ? 0 : 2;
}
