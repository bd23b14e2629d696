#include "shell/BenchReport.h"

#include <algorithm>
#include <cmath>

namespace {

// "other" is the frame outside the marked passes: all of it for a scene that marks none.
// Every scene reports every one of them, so that rows and JSON records line up.
const char* const kPasses[] = {"other", "flatten", "ray", "blur", "final"};

double mean(const std::vector<double>& values) {
    double sum = 0;
    for (double v : values)
        sum += v;
    return values.empty() ? 0 : sum / values.size();
}

double passMedian(const SceneTimes& s, const std::string& pass) {
    auto found = s.gpuMs.find(pass);
    return found == s.gpuMs.end() ? 0 : percentile(found->second, 0.5);
}

bool isListed(const std::string& pass) {
    for (const char* listed : kPasses)
        if (pass == listed)
            return true;
    return false;
}

// A string as a JSON literal: the names come from files and class names.
std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if ((unsigned char)c < 0x20) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

} // namespace

double percentile(std::vector<double> values, double share) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t rank = (size_t)std::ceil(share * values.size());
    return values[rank == 0 ? 0 : rank - 1];
}

void printBenchTable(FILE* out, const StartupTimes& t, const std::vector<SceneTimes>& scenes, int width,
                     int height) {
    fprintf(out, "Start-up: music %.3f s, shaders %.3f s, models %.3f s, textures %.3f s, other %.3f s\n\n",
            t.music, t.shaders, t.models, t.textures, t.other);
    fprintf(out, "%-5s %-24s %6s %9s %9s | %-45s | %10s %10s\n", "scene", "class", "frames", "median ms",
            "p95 ms", "GPU ms (median): other flatten ray blur final", "flatten ms", "upload KiB");
    for (const SceneTimes& s : scenes) {
        fprintf(out, "%-5d %-24s %6zu %9.2f %9.2f |", s.scene, s.className.c_str(), s.frameMs.size(),
                percentile(s.frameMs, 0.5), percentile(s.frameMs, 0.95));
        for (const char* pass : kPasses)
            fprintf(out, " %8.2f", passMedian(s, pass));
        fprintf(out, "     |");
        s.flattenMs.empty() ? fprintf(out, " %10s %10s\n", "-", "-")
                            : fprintf(out, " %10.2f %10.1f\n", mean(s.flattenMs), mean(s.uploadBytes) / 1024);
    }
    fprintf(out, "\n%-5s %-24s %-20s %9s %7s %11s %11s\n", "scene", "class", "model", "triangles", "volumes",
            "reflections", "render size");
    for (const SceneTimes& s : scenes) {
        fprintf(out, "%-5d %-24s ", s.scene, s.className.c_str());
        if (s.traced.model.empty())
            fprintf(out, "%-20s %9s %7s %11s %5dx%-5d\n", "-", "-", "-", "-", width, height);
        else
            fprintf(out, "%-20s %9d %7d %11d %5dx%-5d\n", s.traced.model.c_str(), s.traced.triangles,
                    s.traced.volumes, s.traced.reflections, s.traced.renderSide, s.traced.renderSide);
    }
    fprintf(out,
            "\nflatten ms and upload KiB: mean per animation frame evaluated; GPU ms 0.00 for a pass the\n"
            "scene does not run; render size: the ray-traced scenes' square targets, else the frame\n");
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
        fprintf(out,
                "%s\n    {\"scene\": %d, \"class\": %s, \"frames\": %zu, \"medianMs\": %.4f, \"p95Ms\": %.4f",
                i ? "," : "", s.scene, jsonString(s.className).c_str(), s.frameMs.size(),
                percentile(s.frameMs, 0.5), percentile(s.frameMs, 0.95));
        if (s.traced.model.empty())
            fprintf(out, ", \"model\": null, \"triangles\": null, \"volumes\": null, \"reflections\": null");
        else
            fprintf(out, ", \"model\": %s, \"triangles\": %d, \"volumes\": %d, \"reflections\": %d",
                    jsonString(s.traced.model).c_str(), s.traced.triangles, s.traced.volumes,
                    s.traced.reflections);
        fprintf(out, ", \"renderSize\": [%d, %d]", s.traced.model.empty() ? width : s.traced.renderSide,
                s.traced.model.empty() ? height : s.traced.renderSide);
        fprintf(out, ", \"gpuMedianMs\": {");
        const char* separator = "";
        for (const char* pass : kPasses) {
            fprintf(out, "%s\"%s\": %.4f", separator, pass, passMedian(s, pass));
            separator = ", ";
        }
        for (const auto& pass : s.gpuMs)
            if (!isListed(pass.first))
                fprintf(out, ", %s: %.4f", jsonString(pass.first).c_str(), percentile(pass.second, 0.5));
        fprintf(out, "}, \"animationFrames\": %zu, \"flattenMs\": %.4f, \"uploadBytes\": %.0f}",
                s.flattenMs.size(), mean(s.flattenMs), mean(s.uploadBytes));
    }
    fprintf(out, "\n  ]\n}\n");
}
