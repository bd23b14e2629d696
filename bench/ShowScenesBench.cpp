// The show's five generated scenes: per file its triangle count, the time to
// evaluate and flatten one frame, and the time of one ray pass at the show's
// reflection count, on whatever GL the headless context gets (llvmpipe without a
// GPU). Run from the build directory, or pass the data directory and a pass size.
#include "bench/BenchScene.h"
#include "scene/Studio3dsFile.h"
#include "scenes/raytracer/PrimitiveWriter.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

struct ShowModel {
    const char* file;
    int numReflections;
    int framesPerBeat;
};
const ShowModel kShowModels[] = {{"intro.3ds", 4, 16},
                                 {"spheres.3ds", 4, 16},
                                 {"ull1.3ds", 4, 16},
                                 {"test9.3ds", 3, 8},
                                 {"info.3ds", 4, 16}};

// Where each scene is well under way: 24 beats in.
constexpr float kSceneBeat = 24.0f;

double since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

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
    std::vector<float> texels(size_t(primitive::kTexels) * primitive::kFloatsPerTexel);
    for (const ShowModel& model : kShowModels) {
        const std::string path = data + "/models/" + model.file;
        std::unique_ptr<Studio3dsFile> file(Studio3dsFile::open(path.c_str()));
        if (!file) {
            fprintf(stderr, "ERROR: Could not open %s (build the scene_models target)\n", path.c_str());
            return 1;
        }
        PrimitiveWriter writer;
        writer.reset(path);
        PrimitiveWriter::resetTexels(texels.data());
        const float frame = float(int(model.framesPerBeat * (kSceneBeat + 0.35f)));
        auto start = std::chrono::steady_clock::now();
        file->eval(frame);
        FlattenReport report = writer.write(*file, 1.0f, texels.data());
        const double flatten = since(start);

        RayPassHarness pass;
        if (!loadRayShader(pass, data))
            return 1;
        pass.setUp(size, texels);
        RayPassHarness::Camera camera;
        for (int a = 0; a < 3; ++a) {
            camera.position[a] = report.camera.position[a];
            camera.target[a] = report.camera.target[a];
        }
        camera.roll = report.camera.roll;
        camera.fov = report.camera.fov;
        pass.draw(camera, model.numReflections, 800, 600);
        glFinish(); // the first pass pays for shader compilation
        double best = 1e9;
        for (int i = 0; i < passes; ++i) {
            start = std::chrono::steady_clock::now();
            pass.draw(camera, model.numReflections, 800, 600);
            glFinish();
            best = std::min(best, since(start));
        }
        printf("%-12s %9d %7d %8d %6d %12.1f %12.1f\n", model.file, report.triangles, report.meshes,
               report.volumes, model.numReflections, flatten * 1e3, best * 1e3);
    }
    return 0;
}
