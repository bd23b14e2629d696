// Bench (a): evaluating the animation and writing the primitive buffer, against a
// memcpy of the same bytes into the same places, on two generated scenes and on the
// largest show scene. The writer's goal is at most 3x. Run from the build
// directory, or pass the data directory.
#include "bench/BenchScene.h"
#include "core/ErrorReport.h"
#include "core/PrimitiveLayout.h"
#include "core/PrimitiveWriter.h"
#include "core/Studio3dsFile.h"
#include "support/Studio3dsFixtures.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Short runs, many of them, the best of each kept: the machine is shared.
constexpr int kFramesPerRun = 100;
constexpr int kRuns = 41;

// A few thousand triangles: an animated grid, spheres, a box, lights, a camera.
// The grid either moves (its normals are kept from frame to frame) or turns (they
// are computed again every frame).
bool buildScene(const std::string& path, bool turning) {
    Studio3dsFixture f;
    f.setFrames(64);
    f.material("floor");
    f.material("metal", "", 0.6f);
    f.material("wood", "wood.bmp");
    f.grid("grid", 40, "floor", {-20, -20, 0}); // 3200 faces
    int grid = f.meshNode("grid");
    f.positionKey(grid, 63, {0, 0, 2});
    if (turning) {
        f.rotationKey(grid, 0, {0, 0, 1}, 0);
        f.rotationKey(grid, 63, {0, 0, 1}, 3.0f);
    }
    f.triangles("shards", 200, "wood", {-20, 10, 4});
    f.meshNode("shards");
    for (int i = 0; i < 3; ++i) {
        std::string name = "Sphere" + std::to_string(i);
        f.sphere(name, {-6.0f + 6 * i, 0, 3}, 2, "metal");
        int node = f.meshNode(name);
        f.positionKey(node, 63, {0, 0, 4.0f * i});
    }
    f.box("PAABox22", {-2, 8, 0}, {2, 12, 4}, "wood");
    f.meshNode("PAABox22");
    for (int i = 0; i < 4; ++i)
        f.omniLight("lamp" + std::to_string(i), {10.0f * i - 15, -10, 20});
    f.camera("cam", {0, -40, 20}, {0, 0, 0}, 45);
    return f.save(path);
}

double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Keeps the compiler from dropping stores nobody reads.
void touch(const float* p) {
    asm volatile("" : : "r"(p) : "memory");
}

struct Figures {
    FlattenReport report;
    size_t bytes = 0;                               // per frame, on average
    double write = 1e9, evaluate = 1e9, copy = 1e9; // seconds per frame, best run
};

// Evaluates and writes frames 0 to kFramesPerRun - 1 (wrapping at the file's
// end) against copying the ranges each of those frames wrote.
void measure(Studio3dsFile& file, const std::string& path, int firstFrame, Figures& out) {
    const size_t floats = size_t(primitive::kTexels) * primitive::kFloatsPerTexel;
    std::vector<float> texels(floats), source(floats, 1.0f);
    PrimitiveWriter::resetTexels(texels.data());
    PrimitiveWriter writer;
    writer.reset(path);
    auto frameAt = [&](int i) { return float((firstFrame + i) % file.frames()); };
    std::vector<std::vector<TexelRange>> written(kFramesPerRun);
    for (int i = 0; i < kFramesPerRun; ++i) {
        file.eval(frameAt(i));
        FlattenReport report = writer.write(file, 1.0f, texels.data());
        for (const TexelRange& r : report.ranges)
            out.bytes += size_t(r.count) * 16;
        written[i] = report.ranges;
        if (i == 0)
            out.report = report;
    }
    out.bytes /= kFramesPerRun;

    for (int run = 0; run < kRuns; ++run) {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kFramesPerRun; ++i) {
            file.eval(frameAt(i));
            writer.write(file, 1.0f, texels.data());
            touch(texels.data());
        }
        out.write = std::min(out.write, seconds(std::chrono::steady_clock::now() - start) / kFramesPerRun);

        start = std::chrono::steady_clock::now();
        for (int i = 0; i < kFramesPerRun; ++i)
            file.eval(frameAt(i));
        out.evaluate =
            std::min(out.evaluate, seconds(std::chrono::steady_clock::now() - start) / kFramesPerRun);

        start = std::chrono::steady_clock::now();
        for (int i = 0; i < kFramesPerRun; ++i) {
            for (const TexelRange& r : written[i])
                memcpy(&texels[size_t(r.first) * 4], &source[size_t(r.first) * 4], size_t(r.count) * 16);
            touch(texels.data());
        }
        out.copy = std::min(out.copy, seconds(std::chrono::steady_clock::now() - start) / kFramesPerRun);
    }
}

bool measureGenerated(bool turning, Figures& out) {
    char dir[] = "/tmp/writerbench.XXXXXX";
    if (!mkdtemp(dir))
        return false;
    std::string path = std::string(dir) + "/scene.3ds";
    bool saved = buildScene(path, turning);
    std::unique_ptr<Studio3dsFile> file = saved ? Studio3dsFile::open(path.c_str()) : nullptr;
    unlink(path.c_str());
    rmdir(dir);
    if (!file) {
        reportError("could not write and read %s\n", path.c_str());
        return false;
    }

    measure(*file, path, 0, out);
    return true;
}

void print(const char* name, const Figures& f) {
    const FlattenReport& r = f.report;
    printf("%s: %d triangles, %d volumes, %d meshes, %d lights, %d materials; %zu bytes in %zu ranges\n",
           name, r.triangles, r.volumes, r.meshes, r.lights, r.materials, f.bytes, r.ranges.size());
    printf("  evaluate + write: %.1f us per frame; memcpy of the same bytes: %.1f us per frame\n",
           f.write * 1e6, f.copy * 1e6);
    printf("  ratio: %.2fx (goal <= 3x); evaluation alone %.1f us, %.2fx\n", f.write / f.copy,
           f.evaluate * 1e6, f.evaluate / f.copy);
    fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const std::string data = argc > 1 ? argv[1] : "data";
    for (bool turning : {false, true}) {
        Figures f;
        if (!measureGenerated(turning, f))
            return 1;
        print(turning ? "turning grid" : "moving grid", f);
    }
    // The show scene with the most triangles, over the frames from its scene beat on.
    const ShowModel* largest = nullptr;
    int most = -1;
    for (const ShowModel& model : kShowModels) {
        FlattenedShowFrame frame;
        if (!flattenShowFrame(data, model, frame))
            return 1;
        if (frame.report.triangles > most) {
            most = frame.report.triangles;
            largest = &model;
        }
    }
    FlattenedShowFrame frame;
    if (!flattenShowFrame(data, *largest, frame))
        return 1;
    Figures f;
    measure(*frame.file, frame.path, showFrame(*largest), f);
    print(largest->file, f);
    return 0;
}
