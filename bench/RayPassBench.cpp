// The ray pass through the box hierarchy against a shader that tests every
// record, on the same generated scene of a few thousand triangles, on whatever GL
// the headless context gets (llvmpipe without a GPU). Both must give the same
// picture. Run from the build directory, or pass the data directory.
#include "bench/BenchScene.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

double passSeconds(RayPassHarness& harness, const RayPassHarness::Camera& camera, int passes) {
    harness.draw(camera, 1);
    glFinish(); // the first pass pays for shader compilation
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < passes; ++i)
        harness.draw(camera, 1);
    glFinish();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / passes;
}

} // namespace

int main(int argc, char** argv) {
    std::string data = argc > 1 ? argv[1] : "data";
    const int size = argc > 2 ? std::atoi(argv[2]) : 128;
    HeadlessContext context;
    if (!startBench(context, size))
        return 1;

    PrimitiveSceneBuilder scene;
    buildBenchScene(scene);
    const std::vector<float>& texels = scene.finish();
    const RayPassHarness::Camera& camera = kBenchCamera;
    RayPassHarness walked, everyRecord;
    if (!loadRayShader(walked, data) || !loadRayShader(everyRecord, data, "#define BRUTE_FORCE\n"))
        return 1;
    walked.setUp(size, texels);
    everyRecord.setUp(size, texels);

    double hierarchy = passSeconds(walked, camera, 5);
    double bruteForce = passSeconds(everyRecord, camera, 1);
    std::vector<float> a = walked.pixels(), b = everyRecord.pixels();
    int differing = 0;
    for (size_t i = 0; i < a.size(); i += 4)
        if (std::fabs(a[i] - b[i]) + std::fabs(a[i + 1] - b[i + 1]) + std::fabs(a[i + 2] - b[i + 2]) > 0.02f)
            ++differing;
    printf("scene: %d triangles; ray pass %dx%d, numrefl 1\n", scene.triangleTexels() / 8, size, size);
    printf("hierarchy:    %8.1f ms per pass\n", hierarchy * 1e3);
    printf("every record: %8.1f ms per pass\n", bruteForce * 1e3);
    printf("speed-up: %.1fx (goal >= 10x); pixels differing: %d of %d\n", bruteForce / hierarchy, differing,
           size * size);
    return differing <= size * size / 200 ? 0 : 2;
}
