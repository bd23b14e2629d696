// Putting one flattened frame of the largest show scene into the 16 MiB primitive
// buffer: our upload of the written texel ranges (glBufferSubData per range) and
// mapping the whole buffer write-only, writing the records through the pointer and
// unmapping, each against a memcpy of the same bytes in main memory. Each upload
// follows a small ray pass that reads the buffer, as in the show, where the
// previous frame's pass may still be using it (stalls included).
#include "bench/BenchScene.h"
#include "scenes/raytracer/PrimitiveLayout.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kTexelBytes = primitive::kFloatsPerTexel * sizeof(float);

void rangedUpload(GLuint buffer, const float* texels, const std::vector<TexelRange>& ranges) {
    glBindBuffer(GL_TEXTURE_BUFFER, buffer);
    for (const TexelRange& r : ranges)
        glBufferSubData(GL_TEXTURE_BUFFER, r.first * kTexelBytes, r.count * kTexelBytes,
                        texels + size_t(r.first) * primitive::kFloatsPerTexel);
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
}

void mappedUpload(GLuint buffer, const float* texels, const std::vector<TexelRange>& ranges) {
    glBindBuffer(GL_TEXTURE_BUFFER, buffer);
    char* mapped = static_cast<char*>(glMapBuffer(GL_TEXTURE_BUFFER, GL_WRITE_ONLY));
    for (const TexelRange& r : ranges)
        memcpy(mapped + r.first * kTexelBytes, texels + size_t(r.first) * primitive::kFloatsPerTexel,
               r.count * kTexelBytes);
    glUnmapBuffer(GL_TEXTURE_BUFFER);
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
}

// Seconds per upload, over `frames` frames of (upload, ray pass). With `idle`
// the pass has finished before the upload starts.
template <typename Upload>
double perUpload(Upload upload, RayPassHarness& pass, const RayPassHarness::Camera& camera, int frames,
                 bool idle) {
    double seconds = 0;
    for (int i = 0; i < frames; ++i) {
        if (idle)
            glFinish();
        auto start = Clock::now();
        upload();
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        pass.draw(camera, 0);
    }
    glFinish();
    return seconds / frames;
}

} // namespace

int main(int argc, char** argv) {
    std::string data = argc > 1 ? argv[1] : "data";
    const int size = argc > 2 ? std::atoi(argv[2]) : 16, frames = argc > 3 ? std::atoi(argv[3]) : 200;
    HeadlessContext context;
    if (!startBench(context, size))
        return 1;

    FlattenedShowFrame largest;
    for (const ShowModel& model : kShowModels) {
        FlattenedShowFrame frame;
        if (!flattenShowFrame(data, model, frame))
            return 1;
        if (frame.report.triangles > largest.report.triangles)
            largest = std::move(frame);
    }
    const std::vector<float>& texels = largest.texels;
    const std::vector<TexelRange>& ranges = largest.report.ranges;
    size_t bytes = 0;
    for (const TexelRange& r : ranges)
        bytes += r.count * kTexelBytes;

    RayPassHarness pass;
    if (!loadRayShader(pass, data))
        return 1;
    pass.setUp(size, texels);
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_TEXTURE_BUFFER, buffer);
    glBufferData(GL_TEXTURE_BUFFER, primitive::kBufferBytes, nullptr, GL_DYNAMIC_DRAW);
    rangedUpload(buffer, texels.data(), ranges);
    pass.readFrom(buffer);
    const RayPassHarness::Camera& camera = largest.camera;

    const float* t = texels.data();
    std::vector<float> copy(texels.size());
    double copied = 1e30;
    for (int round = 0; round < 20; ++round) {
        auto start = Clock::now();
        for (const TexelRange& r : ranges)
            memcpy(&copy[size_t(r.first) * 4], t + size_t(r.first) * 4, r.count * kTexelBytes);
        asm volatile("" : : "r"(copy.data()) : "memory");
        copied = std::min(copied, std::chrono::duration<double>(Clock::now() - start).count());
    }
    printf("%s, %d triangles: %zu ranges, %zu bytes of %d\n", largest.path.c_str(), largest.report.triangles,
           ranges.size(), bytes, primitive::kBufferBytes);
    printf("memcpy of the same bytes: %.1f us\n", copied * 1e6);
    for (bool idle : {false, true}) {
        double ranged = 0, mapped = 0;
        for (int round = 0; round < 3; ++round) { // interleaved, so drift hits both
            ranged += perUpload([&] { rangedUpload(buffer, t, ranges); }, pass, camera, frames, idle);
            mapped += perUpload([&] { mappedUpload(buffer, t, ranges); }, pass, camera, frames, idle);
        }
        printf("%s\n", idle ? "buffer idle:" : "right after a ray pass that reads the buffer:");
        printf("  ranged glBufferSubData:         %8.1f us per upload\n", ranged / 3 * 1e6);
        printf("  map whole buffer, write, unmap: %8.1f us per upload\n", mapped / 3 * 1e6);
        printf("  ratio mapped / ranged: %.2fx; ranged / memcpy: %.2fx; mapped / memcpy: %.2fx\n",
               mapped / ranged, ranged / 3 / copied, mapped / 3 / copied);
    }
    glDeleteBuffers(1, &buffer);
    return 0;
}
