// The show's five generated scenes: per file its triangle count, the time to
// evaluate and flatten one frame, and the time of one ray pass at the show's
// reflection count, on whatever GL the headless context gets (llvmpipe without a
// GPU). Run from the build directory, or pass the data directory and a pass size.
#include "bench/BenchScene.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    const std::string data = argc > 1 ? argv[1] : "data";
    const int size = argc > 2 ? std::atoi(argv[2]) : 400;
    const int passes = argc > 3 ? std::atoi(argv[3]) : 3;
    HeadlessContext context;
    if (!startBench(context, size))
        return 1;
    printf("ray pass %dx%d (window aspect 4:3), best of %d, scene beat %.0f\n", size, size, passes,
           kSceneBeat);
    printf("%-12s %9s %7s %8s %6s %12s %12s\n", "file", "triangles", "meshes", "volumes", "numrefl",
           "flatten ms", "ray pass ms");
    for (const ShowModel& model : kShowModels) {
        FlattenedShowFrame frame;
        RayPassHarness pass;
        if (!flattenShowFrame(data, model, frame) || !loadRayShader(pass, data))
            return 1;
        pass.setUp(size, frame.texels);
        const double best = bestPassSeconds(pass, frame.camera, model.numReflections, passes);
        const FlattenReport& report = frame.report;
        printf("%-12s %9d %7d %8d %6d %12.1f %12.1f\n", model.file, report.triangles, report.meshes,
               report.volumes, model.numReflections, frame.flattenSeconds * 1e3, best * 1e3);
    }
    return 0;
}
