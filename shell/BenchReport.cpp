#include "shell/BenchReport.h"

#include <algorithm>
#include <cmath>

namespace {

// "shell" is the frame outside the marked passes: all of it for a scene that marks none.
const char* const kPasses[] = {"shell", "flatten", "ray", "blur", "final"};

double mean(const std::vector<double>& values) {
    double sum = 0;
    for (double v : values)
        sum += v;
    return values.empty() ? 0 : sum / values.size();
}

double passMedian(const SceneTimes& s, const char* pass) {
    auto found = s.gpuMs.find(pass);
    return found == s.gpuMs.end() ? -1 : percentile(found->second, 0.5);
}

} // namespace

double percentile(std::vector<double> values, double share) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t rank = (size_t)std::ceil(share * values.size());
    return values[rank == 0 ? 0 : rank - 1];
}

void printBenchTable(FILE* out, const StartupTimes& t, const std::vector<SceneTimes>& scenes) {
    fprintf(out, "Start-up: music %.3f s, shaders %.3f s, models %.3f s, textures %.3f s, other %.3f s\n\n",
            t.music, t.shaders, t.models, t.textures, t.other);
    fprintf(out, "%-5s %-24s %6s %9s %9s | %-45s | %10s %10s\n", "scene", "class", "frames", "median ms",
            "p95 ms", "GPU ms (median): other flatten ray blur final", "flatten ms", "upload KiB");
    for (const SceneTimes& s : scenes) {
        fprintf(out, "%-5d %-24s %6zu %9.2f %9.2f |", s.scene, s.className.c_str(), s.frameMs.size(),
                percentile(s.frameMs, 0.5), percentile(s.frameMs, 0.95));
        for (const char* pass : kPasses) {
            double ms = passMedian(s, pass);
            ms < 0 ? fprintf(out, " %8s", "-") : fprintf(out, " %8.2f", ms);
        }
        fprintf(out, "     |");
        s.flattenMs.empty() ? fprintf(out, " %10s %10s\n", "-", "-")
                            : fprintf(out, " %10.2f %10.1f\n", mean(s.flattenMs), mean(s.uploadBytes) / 1024);
    }
    fprintf(out, "\nflatten ms and upload KiB: mean per animation frame evaluated\n");
}

void printBenchJson(FILE* out, const StartupTimes& t, const std::vector<SceneTimes>& scenes, int width,
                    int height, int fps) {
    fprintf(out, "{\n  \"size\": [%d, %d],\n  \"fps\": %d,\n", width, height, fps);
    fprintf(
        out,
        "  \"startupSeconds\": {\"music\": %.6f, \"shaders\": %.6f, \"models\": %.6f, \"textures\": %.6f, "
        "\"other\": %.6f},\n  \"scenes\": [",
        t.music, t.shaders, t.models, t.textures, t.other);
    for (size_t i = 0; i < scenes.size(); ++i) {
        const SceneTimes& s = scenes[i];
        fprintf(
            out,
            "%s\n    {\"scene\": %d, \"class\": \"%s\", \"frames\": %zu, \"medianMs\": %.4f, \"p95Ms\": %.4f",
            i ? "," : "", s.scene, s.className.c_str(), s.frameMs.size(), percentile(s.frameMs, 0.5),
            percentile(s.frameMs, 0.95));
        fprintf(out, ", \"gpuMedianMs\": {");
        bool first = true;
        for (const auto& pass : s.gpuMs) {
            fprintf(out, "%s\"%s\": %.4f", first ? "" : ", ", pass.first.c_str(),
                    percentile(pass.second, 0.5));
            first = false;
        }
        fprintf(out, "}, \"animationFrames\": %zu, \"flattenMs\": %.4f, \"uploadBytes\": %.0f}",
                s.flattenMs.size(), mean(s.flattenMs), mean(s.uploadBytes));
    }
    fprintf(out, "\n  ]\n}\n");
}
