#include "shell/authoring/OverlayFacts.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>

#include "scene/Scene.h"
#include "shell/authoring/BarGrid.h"

namespace {

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...) {
    char text[256];
    va_list args;
    va_start(args, pattern);
    vsnprintf(text, sizeof(text), pattern, args);
    va_end(args);
    return text;
}

} // namespace

std::vector<std::string> overlayLines(const OverlayFacts& f) {
    std::vector<std::string> lines;
    lines.push_back(
        format("%.2f s   beat %.2f   bar %d + %.2f", f.seconds, f.beat, barOf(f.beat), beatInBar(f.beat)));
    std::string scene =
        format("scene %d %s", f.scene, f.sceneClass.empty() ? "(empty slot)" : f.sceneClass.c_str());
    if (f.entries > 0)
        lines.push_back(format("entry %d of %d from beat %g   ", f.entry + 1, f.entries, f.entryStartBeat) +
                        scene);
    else
        lines.push_back(scene);
    std::string size = format("%.0f fps   %d x %d", f.fps, f.width, f.height);
    if (f.tracedSide > 0)
        size += format(", traced %d x %d", f.tracedSide, f.tracedSide);
    lines.push_back(size);
    std::string state = f.paused ? "paused" : "playing";
    if (f.looping)
        state += format("   looping %.2f s to %.2f s", f.loopStart, f.loopEnd);
    lines.push_back(state);
    lines.insert(lines.end(), f.errors.begin(), f.errors.end());
    return lines;
}

std::string sceneClassName(const Scene* scene) {
    if (!scene)
        return "";
    const char* mangled = typeid(*scene).name();
    int status = 0;
    char* plain = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && plain ? plain : mangled;
    free(plain);
    return name;
}

float stripSeconds(float x, float left, float width, float trackSeconds) {
    if (width <= 0 || trackSeconds <= 0)
        return 0;
    float fraction = (x - left) / width;
    fraction = fraction < 0 ? 0 : fraction > 1 ? 1 : fraction;
    return fraction * trackSeconds;
}

float stripX(float seconds, float left, float width, float trackSeconds) {
    if (trackSeconds <= 0)
        return left;
    float fraction = seconds / trackSeconds;
    fraction = fraction < 0 ? 0 : fraction > 1 ? 1 : fraction;
    return left + fraction * width;
}
