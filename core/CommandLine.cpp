#include "core/CommandLine.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <getopt.h>

namespace {

const int kMaxFps = 1000;
const int kMaxSide = 16384;

enum LongOnly {
    kWindowed = 256,
    kInspect,
    kFrame,
    kCapture,
    kFps,
    kSize,
    kFrom,
    kTo,
    kRenderWidth,
    kBench,
    kJson,
    kSpread,
    kScene,
    kWatch,
    kGlDebug,
    kTargetFps,
    kSummary,
    kShow,
    kEdit,
    kOverlay
};

// freeglut's own options: how many arguments each takes, or -1 for none of its own.
int toolkitArity(const char* arg) {
    const char* const withValue[] = {"-display", "-geometry"};
    const char* const flags[] = {"-direct", "-indirect", "-iconic", "-gldebug", "-sync"};
    for (const char* name : withValue)
        if (strcmp(arg, name) == 0)
            return 1;
    for (const char* name : flags)
        if (strcmp(arg, name) == 0)
            return 0;
    return -1;
}

bool parseSeconds(const char* text, double* out) {
    char* end = nullptr;
    errno = 0;
    double value = strtod(text, &end);
    if (errno || end == text || *end || !std::isfinite(value) || value < 0)
        return false;
    *out = value;
    return true;
}

bool parseSize(const char* text, int* width, int* height) {
    const char* x = strchr(text, 'x');
    if (!x)
        return false;
    std::string w(text, x - text);
    return parseInt(w.c_str(), 1, kMaxSide, width) && parseInt(x + 1, 1, kMaxSide, height);
}

// Applies one recognised option; returns the complaint about its value, or "".
std::string applyOption(int code, const char* value, const SceneValueCheck& checkScene,
                        CommandLineOptions& o) {
    std::string bad = std::string(" got \"") + (value ? value : "") + "\"";
    switch (code) {
    case kWindowed:
        o.windowed = true;
        return "";
    case 'h':
        o.help = true;
        return "";
    case kInspect:
        o.inspectFile = value;
        return "";
    case kSummary:
        o.inspectSummary = true;
        return "";
    case kFrame:
        return parseInt(value, INT_MIN, INT_MAX, &o.inspectFrame) ? ""
                                                                  : "--frame needs a whole number;" + bad;
    case kCapture:
        o.captureOut = value;
        return "";
    case kBench:
        o.bench = true;
        return "";
    case kJson:
        o.json = true;
        return "";
    case kSpread:
        o.spread = true;
        return "";
    case kScene: {
        std::string complaint = checkScene(value);
        o.sceneValue = complaint.empty() ? value : nullptr;
        return complaint;
    }
    case kWatch:
        o.watch = true;
        return "";
    case kShow:
        o.showFile = value;
        return "";
    case kEdit:
        o.edit = true;
        return "";
    case kOverlay:
        o.overlay = true;
        return "";
    // The window starts there too; a capture or benchmark begins its range there.
    case kFrom:
        o.fromGiven = true;
        return parseSeconds(value, &o.from) ? "" : "--from needs seconds, 0 or more;" + bad;
    case kGlDebug:
        o.glDebug = true;
        return "";
    // Both shape the frame of a window as well as of a capture or benchmark.
    case kSize:
        o.sizeGiven = true;
        return parseSize(value, &o.width, &o.height) ? ""
                                                     : "--size needs WIDTHxHEIGHT, each 1 to 16384;" + bad;
    case kRenderWidth:
        return parseInt(value, 1, kMaxSide, &o.renderWidth) ? "" : "--render-width needs 1 to 16384;" + bad;
    case kTargetFps:
        return parseInt(value, 1, kMaxFps, &o.targetFps)
                   ? ""
                   : "--target-fps needs a whole number from 1 to 1000;" + bad;
    }
    o.captureOnly = true;
    switch (code) {
    case kFps:
        return parseInt(value, 1, kMaxFps, &o.fps) ? "" : "--fps needs a whole number from 1 to 1000;" + bad;
    case kTo:
        return parseSeconds(value, &o.to) ? "" : "--to needs seconds, 0 or more;" + bad;
    }
    return "unhandled option";
}

} // namespace

bool parseInt(const char* text, long low, long high, int* out) {
    char* end = nullptr;
    errno = 0;
    long value = strtol(text, &end, 10);
    if (errno || end == text || *end || value < low || value > high)
        return false;
    *out = (int)value;
    return true;
}

CommandLineOptions parseCommandLine(int argc, char** argv, const SceneValueCheck& checkScene) {
    CommandLineOptions o;
    // freeglut's options are set aside for glutInit; getopt_long sees the rest.
    std::vector<char*> ours{argv[0]};
    o.toolkitArgs.push_back(argv[0]);
    for (int i = 1; i < argc; ++i) {
        int arity = toolkitArity(argv[i]);
        if (arity < 0) {
            ours.push_back(argv[i]);
            continue;
        }
        o.toolkitArgs.push_back(argv[i]);
        if (arity == 1) {
            if (i + 1 >= argc) {
                o.error = std::string(argv[i]) + " needs a value";
                break;
            }
            o.toolkitArgs.push_back(argv[++i]);
        }
    }
    o.toolkitArgs.push_back(nullptr);
    ours.push_back(nullptr);
    if (!o.error.empty())
        return o;

    // A local table: getopt_long reads it on each call and keeps nothing of it.
    const option options[] = {{"windowed", no_argument, nullptr, kWindowed},
                              {"help", no_argument, nullptr, 'h'},
                              {"inspect", required_argument, nullptr, kInspect},
                              {"frame", required_argument, nullptr, kFrame},
                              {"capture", required_argument, nullptr, kCapture},
                              {"fps", required_argument, nullptr, kFps},
                              {"size", required_argument, nullptr, kSize},
                              {"from", required_argument, nullptr, kFrom},
                              {"to", required_argument, nullptr, kTo},
                              {"render-width", required_argument, nullptr, kRenderWidth},
                              {"bench", no_argument, nullptr, kBench},
                              {"json", no_argument, nullptr, kJson},
                              {"spread", no_argument, nullptr, kSpread},
                              {"scene", required_argument, nullptr, kScene},
                              {"watch", no_argument, nullptr, kWatch},
                              {"gl-debug", no_argument, nullptr, kGlDebug},
                              {"target-fps", required_argument, nullptr, kTargetFps},
                              {"summary", no_argument, nullptr, kSummary},
                              {"show", required_argument, nullptr, kShow},
                              {"edit", no_argument, nullptr, kEdit},
                              {"overlay", no_argument, nullptr, kOverlay},
                              {nullptr, 0, nullptr, 0}};
    // GNU getopt keeps state between calls: optind 0 starts a fresh scan.
    optind = 0;
    opterr = 0;
    int count = (int)ours.size() - 1;
    for (;;) {
        int at = optind > 0 ? optind : 1; // the argument getopt is in
        int code = getopt_long(count, ours.data(), ":h", options, nullptr);
        if (code == -1)
            break;
        if (code == '?') {
            // optind moves past the argument only once its last letter is read:
            // in "-xh" the unknown x is in the argument optind still names.
            const char* arg = ours[optind > at ? optind - 1 : optind];
            bool letter = optopt > 0 && optopt < 256 && strncmp(arg, "--", 2) != 0;
            o.error = "unknown option " + (letter ? std::string("-") + char(optopt) : std::string(arg));
            return o;
        }
        if (code == ':') {
            o.error = std::string(ours[optind - 1]) + " needs a value";
            return o;
        }
        o.error = applyOption(code, optarg, checkScene, o);
        if (!o.error.empty())
            return o;
    }
    if (optind < count) {
        o.error = std::string("unexpected argument ") + ours[optind];
        return o;
    }
    if (o.inspectSummary && !o.inspectFile)
        o.error = "--summary goes with --inspect";
    else if (o.captureOnly && !o.captureOut && !o.bench)
        o.error = "--fps and --to go with --capture or --bench";
    else if (o.inspectFile && (o.sizeGiven || o.renderWidth > 0))
        o.error = "--size and --render-width do not go with --inspect";
    else if (o.json && !o.bench)
        o.error = "--json goes with --bench";
    else if (o.spread && !o.bench)
        o.error = "--spread goes with --bench";
    else if (o.bench && o.captureOut)
        o.error = "--bench and --capture are separate runs";
    else if (o.captureOut && o.to >= 0 && o.to <= o.from)
        o.error = "--to must be later than --from";
    else if (o.glDebug && !o.captureOut)
        o.error = "--gl-debug goes with --capture";
    else if ((o.captureOut || o.bench) && o.targetFps > 0)
        o.error = "--target-fps is for the window; captures and --bench never adapt their resolution";
    else if (o.showFile && (o.sceneValue || o.inspectFile || o.bench))
        o.error = "--show plays a show file in the window or a capture; it does not go with --scene, "
                  "--inspect or --bench";
    else if ((o.captureOut || o.bench) && o.watch)
        o.error = "--watch needs a window; it does not go with --capture or --bench";
    else if ((o.captureOut || o.bench) && o.edit)
        o.error = "--edit needs a window; with --capture, --overlay draws the overlay into the frames";
    else if (o.bench && o.overlay)
        o.error = "--overlay goes with the window or --capture, not --bench";
    else if (o.inspectFile && (o.edit || o.overlay || o.fromGiven))
        o.error = "--edit, --overlay and --from do not go with --inspect";
    // Live editing and the overlay are authoring in the window.
    if (!o.captureOut && !o.bench && (o.watch || o.overlay))
        o.edit = true;
    return o;
}

void printCommandLineUsage(const char* program) {
    printf("Usage: %s [--show FILE] [--windowed] [--target-fps N] [--size WxH] [--render-width N]\n"
           "          [--from S] [--edit] [--overlay] [--help]\n"
           "       %s --inspect FILE [--frame N] [--summary]\n"
           "       %s --capture OUT [--fps N] [--size WxH] [--from S] [--to S] [--render-width N]\n"
           "                    [--gl-debug] [--overlay]\n"
           "       %s --bench [--json] [--spread] [--fps N] [--size WxH] [--render-width N]\n"
           "\n"
           "Plays the demo: run it in its data directory (horn.mp3, shaders/, textures/, models/).\n"
           "With no options it switches to the 1024x768 full-screen game mode when the display\n"
           "offers it, plays the music from the start and exits when the track ends.\n"
           "\n"
           "  --show FILE  play the line-up of a TOML show file instead of the built-in one: its\n"
           "               music, tempo, timeline and scenes (data/show.toml is the built-in\n"
           "               show written out); a bad file ends the program with its line; with\n"
           "               --watch a saved show file replaces the line-up as it plays. Also\n"
           "               with --capture\n"
           "  --windowed   stay in a 1024x768 window (no game mode)\n"
           "  --target-fps N\n"
           "               hold about N frames a second in the window on a slow renderer: the\n"
           "               ray-traced scenes trace a smaller square (96 to 800 pixels) while\n"
           "               frames take too long, and the title shows its side\n"
           "  --from S     in the window: start at S seconds of music, the scene on screen\n"
           "               and its clock as if the show had played up to there\n"
           "  --edit       authoring keys and an overlay in the window (see Keys below)\n"
           "  --overlay    draw the authoring overlay into a capture's frames (tutorials); in\n"
           "               the window it is the same as --edit\n"
           "  --help       show this text\n"
           "  --inspect FILE [--frame N]\n"
           "               evaluate a 3D Studio file at animation frame N (default 0) and print\n"
           "               what the ray tracer receives, without opening a window: one line\n"
           "               \"TEXEL REGION X Y Z W\" per texel written to the primitive buffer, in\n"
           "               index order (REGION: header, triangle, volume, material, light, mesh;\n"
           "               floats in %%.9g), then \"camera PX PY PZ TX TY TZ ROLL FOV\"\n"
           "  --summary    with --inspect: instead, the mesh entries (triangle meshes,\n"
           "               spheres, boxes), triangles and their groups, lights traced against\n"
           "               the file's, where the camera comes from, and the file's frames\n"
           "               against the frames the show asks for\n"
           "  --capture OUT\n"
           "               render the show without a window at a fixed frame rate, frame k\n"
           "               showing the music at k/FPS seconds. OUT a directory (or ending in /):\n"
           "               one PNG per frame, named by frame index (000123.png). OUT ending in\n"
           "               .mp4 or .mkv: a video with the music, made by the ffmpeg program\n"
           "               (.mp4: H.264 and AAC; .mkv: lossless FFV1 and FLAC). Ctrl-C ends the\n"
           "               capture after the current frame and leaves a playable file.\n"
           "  --fps N      frames per second of music (default 60)\n"
           "  --size WxH   frame size, the window size the scenes see (default 1024x768); in the\n"
           "               window its starting size, and the show stays in a window\n"
           "  --from S, --to S\n"
           "               capture only frames k with S_from <= k/FPS < S_to (default: the whole\n"
           "               track); a range renders exactly the frames a whole capture renders there\n"
           "  --render-width N\n"
           "               side of the ray-traced scenes' square render targets, in the window or a\n"
           "               capture (default 800; for a frame under 800 in both directions the\n"
           "               larger of its width and height, at least 96: 320x240 traces 320)\n"
           "  --gl-debug   capture on a GL debug context: every GL error or undefined\n"
           "               behaviour GL reports is printed, and any makes the capture fail\n"
           "  --bench [--json] [--spread]\n"
           "               time the show without a window: the start-up split into music, shaders,\n"
           "               models and textures, then 30 frames of each scene, FPS frames a second,\n"
           "               from half a second into it: median and 95th-percentile frame time, GPU\n"
           "               time of each pass (timer queries; \"other\" is the rest of the frame),\n"
           "               animation evaluation and flattening time and bytes uploaded per\n"
           "               animation frame; per ray-traced scene its model file, triangles,\n"
           "               volumes, reflections and render size; a table, or JSON. With --scene N\n"
           "               the row carries the show's scene number N\n"
           "  --spread     with --bench: the 30 frames evenly across each scene's whole time on\n"
           "               screen, first and last frame included, instead of from half a second in\n"
           "\n"
           "freeglut's own options (-display, -geometry, -direct, -indirect, -iconic, -gldebug,\n"
           "-sync) are passed on to it.\n"
           "\n"
           "Keys: Enter reload the scene, 1-9/0 pick a scene, f full screen, Esc quit,\n"
           "      space jump 5 s forward, backspace jump 5 s back.\n"
           "With --edit (or --watch): p pause and resume, left and right arrows one bar (four\n"
           "      beats) back and forward, page up and down the previous and next timeline\n"
           "      entry, l loop the entry on screen, Tab hide and show the overlay; a click\n"
           "      on the overlay's timeline strip seeks there. Each prints its music time.\n",
           program, program, program, program);
}
