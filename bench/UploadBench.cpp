// Putting the flattened frames of each show scene into its 16 MiB primitive buffer,
// frame after frame from the scene's beat, against a memcpy of the bytes each frame
// wrote: the show's upload (glBufferSubData of the ranges the frame changed), the
// upload of every written range, and mapping the whole buffer write-only, writing
// the ranges through the pointer and unmapping. Each is timed with the buffer idle,
// as in the show on llvmpipe, where the swap finishes the frame, and right after a
// small ray pass that reads the buffer (stalls included).
#include "bench/BenchScene.h"
#include "core/PrimitiveLayout.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kTexelBytes = primitive::kFloatsPerTexel * sizeof(float);
constexpr int kFrames = 100;

size_t bytesOf(const std::vector<TexelRange>& ranges) {
    size_t bytes = 0;
    for (const TexelRange& r : ranges)
        bytes += r.count * kTexelBytes;
    return bytes;
}

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

struct Figures {
    double written = 0, changed = 0;                    // bytes per frame
    double copy = 0, show = 0, every = 0, mapped = 0;   // seconds per frame, buffer idle
    double showBusy = 0, everyBusy = 0, mappedBusy = 0; // right after a ray pass
};

template <typename Step> double timed(Step step) {
    auto start = Clock::now();
    step();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// kFrames animation frames from the scene's beat; each upload goes to its own
// buffer, which so holds exactly what that way of uploading has put there.
bool measure(const std::string& data, const ShowModel& model, int passSize, Figures& out) {
    FlattenedShowFrame frame;
    if (!flattenShowFrame(data, model, frame))
        return false;
    std::vector<float>& texels = frame.texels;
    std::vector<float> copy(texels.size());
    PrimitiveWriter writer;
    writer.reset(frame.path);
    PrimitiveWriter::resetTexels(texels.data());
    GLuint buffers[3];
    glGenBuffers(3, buffers);
    for (GLuint b : buffers) {
        glBindBuffer(GL_TEXTURE_BUFFER, b);
        glBufferData(GL_TEXTURE_BUFFER, primitive::kBufferBytes, texels.data(), GL_DYNAMIC_DRAW);
    }
    RayPassHarness pass;
    if (!loadRayShader(pass, data))
        return false;
    pass.setUp(passSize, texels);
    for (bool busy : {false, true}) {
        writer.reset(frame.path);
        for (int i = 0; i < kFrames; ++i) {
            frame.file->eval(float((showFrame(model) + i) % frame.file->frames()));
            const FlattenReport report = writer.write(*frame.file, 1.0f, texels.data());
            const float* t = texels.data();
            auto settle = [&](GLuint buffer) {
                glFinish();
                if (busy) { // a pass still reading the buffer when the upload starts
                    pass.readFrom(buffer);
                    pass.draw(frame.camera, 0);
                    glFlush();
                }
            };
            settle(buffers[0]);
            (busy ? out.showBusy : out.show) += timed([&] { rangedUpload(buffers[0], t, report.changed); });
            settle(buffers[1]);
            (busy ? out.everyBusy : out.every) += timed([&] { rangedUpload(buffers[1], t, report.ranges); });
            settle(buffers[2]);
            (busy ? out.mappedBusy : out.mapped) +=
                timed([&] { mappedUpload(buffers[2], t, report.ranges); });
            if (busy)
                continue;
            out.copy += timed([&] {
                for (const TexelRange& r : report.ranges)
                    memcpy(&copy[size_t(r.first) * 4], t + size_t(r.first) * 4, r.count * kTexelBytes);
                asm volatile("" : : "r"(copy.data()) : "memory");
            });
            out.written += bytesOf(report.ranges);
            out.changed += bytesOf(report.changed);
        }
    }
    glFinish();
    // The show's buffer must hold what uploading everything gives.
    std::vector<float> shown(texels.size()), every(texels.size());
    glBindBuffer(GL_TEXTURE_BUFFER, buffers[0]);
    glGetBufferSubData(GL_TEXTURE_BUFFER, 0, primitive::kBufferBytes, shown.data());
    glBindBuffer(GL_TEXTURE_BUFFER, buffers[1]);
    glGetBufferSubData(GL_TEXTURE_BUFFER, 0, primitive::kBufferBytes, every.data());
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
    glDeleteBuffers(3, buffers);
    if (shown != every) {
        fprintf(stderr, "ERROR: %s: the changed ranges left the buffer out of date\n", model.file);
        return false;
    }
    for (double* f : {&out.written, &out.changed, &out.copy, &out.show, &out.every, &out.mapped,
                      &out.showBusy, &out.everyBusy, &out.mappedBusy})
        *f /= kFrames;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::string data = argc > 1 ? argv[1] : "data";
    const int passSize = argc > 2 ? std::atoi(argv[2]) : 16;
    HeadlessContext context;
    if (!startBench(context, passSize))
        return 1;
    printf("%d animation frames per scene from its beat; us per frame; ratios to the memcpy of the bytes "
           "written\n",
           kFrames);
    printf("%-12s %9s %9s %8s | %8s %8s %8s | %9s %9s %9s\n", "scene", "written", "changed", "memcpy", "show",
           "every", "mapped", "show*", "every*", "mapped*");
    for (const ShowModel& model : kShowModels) {
        Figures f;
        if (!measure(data, model, passSize, f))
            return 1;
        auto us = [](double s) { return s * 1e6; };
        printf("%-12s %9.0f %9.0f %8.1f | %8.1f %8.1f %8.1f | %9.1f %9.1f %9.1f\n", model.file, f.written,
               f.changed, us(f.copy), us(f.show), us(f.every), us(f.mapped), us(f.showBusy), us(f.everyBusy),
               us(f.mappedBusy));
        printf("%-12s %28s | %7.2fx %7.2fx %7.2fx | %8.1fx %8.1fx %8.1fx\n", "", "", f.show / f.copy,
               f.every / f.copy, f.mapped / f.copy, f.showBusy / f.copy, f.everyBusy / f.copy,
               f.mappedBusy / f.copy);
        fflush(stdout);
    }
    printf(
        "show: the changed ranges, as the show uploads them; every: every written range; mapped: the whole "
        "buffer mapped write-only; *: right after a ray pass that reads the buffer\n");
    return 0;
}
