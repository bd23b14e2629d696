#include "shell/Capture.h"
#include "core/ErrorReport.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <vector>

#include "core/DataPath.h"
#include "core/MusicTime.h"
#include "scene/HeadlessContext.h"
#include "shell/Callbacks.h"
#include "shell/CaptureProgress.h"
#include "shell/FfmpegPipe.h"
#include "shell/FrameClock.h"
#include "shell/FrameStep.h"
#include "shell/HeadlessStart.h"
#include "shell/LineUp.h"
#include "shell/OpenAlMusic.h"
#include "shell/PngSequence.h"
#include "shell/RenderSettings.h"
#include "shell/RenderSide.h"
#include "shell/ScenePreview.h"
#include "shell/ShellState.h"
#include "shell/ShowLineUp.h"
#include "shell/Startup.h"
#include "shell/TimelineReplay.h"
#include "shell/authoring/Authoring.h"
#include "shell/authoring/Overlay.h"

namespace {

enum class Output { Pngs, Video, Unknown };

volatile sig_atomic_t interrupted = 0;

void onInterrupt(int) {
    interrupted = 1;
}

bool endsWith(const char* text, const char* tail) {
    size_t n = strlen(text), m = strlen(tail);
    return n >= m && strcmp(text + n - m, tail) == 0;
}

Output classify(const char* out) {
    struct stat info;
    if (endsWith(out, "/") || (stat(out, &info) == 0 && S_ISDIR(info.st_mode)))
        return Output::Pngs;
    if (endsWith(out, ".mp4") || endsWith(out, ".mkv"))
        return Output::Video;
    return Output::Unknown;
}

// The picture of framebuffer 0 as RGB rows, top row first, leaving the GL state
// the scenes set as it was.
bool readFrame(int width, int height, std::vector<unsigned char>& rgb) {
    size_t row = (size_t)width * 3;
    std::vector<unsigned char> bottomUp(row * height);
    GLint readFramebuffer = 0, alignment = 4;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
    GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        reportError("Could not read the frame: %s\n", reinterpret_cast<const char*>(gluErrorString(error)));
        return false;
    }
    rgb.resize(row * height);
    for (int y = 0; y < height; ++y)
        memcpy(&rgb[row * y], &bottomUp[row * (height - 1 - y)], row);
    return true;
}

// The frames of the track the options ask for, [first, end).
bool frameRange(const Options& options, const FrameClock& clock, int64_t* first, int64_t* end) {
    int64_t total = clock.framesBefore(audio->length(music));
    // A scene of the show previewed alone has no picture before its own start.
    double from = std::max(options.from, (double)sceneStartSeconds(previewStartBeat(options.scene)));
    *first = clock.firstFrameAt(from);
    *end = total;
    if (options.to >= 0 && clock.firstFrameAt(options.to) < total)
        *end = clock.firstFrameAt(options.to);
    if (*first < *end)
        return true;
    double length = audio->bytesToSeconds(music, audio->length(music));
    if (options.to < 0)
        reportError("No frame to capture from %.3f s: the track is %.3f s long\n", from, length);
    else
        reportError("No frame to capture from %.3f s to %.3f s: the track is %.3f s long\n", from, options.to,
                    length);
    return false;
}

std::unique_ptr<FrameSink> openSink(Output kind, const Options& options, const FrameClock& clock,
                                    int64_t first, int64_t end) {
    if (kind == Output::Pngs)
        return std::unique_ptr<FrameSink>(new PngSequence(options.captureOut, options.width, options.height));
    FfmpegPipe::Video video;
    video.path = options.captureOut;
    video.width = options.width;
    video.height = options.height;
    video.fps = clock.fps;
    if (music != 0) {
        video.audioPath = dataPath(musicFile.c_str());
        video.audioFrom = (double)first / clock.fps;
        video.duration = (double)(end - first) / clock.fps;
    } else {
        printf("No music: the video has no sound\n");
    }
    std::unique_ptr<FfmpegPipe> pipe(new FfmpegPipe(video));
    return pipe->start() ? std::move(pipe) : nullptr;
}

// The show's frames [first, end) into `sink`; false when a frame could not be read
// or stored. Stops early, after a whole frame, on Ctrl-C.
bool renderFrames(HeadlessContext& context, const FrameClock& clock, int64_t first, int64_t end,
                  FrameSink& sink, Overlay* overlay, int64_t* rendered) {
    CaptureProgress progress(first, end);
    std::vector<unsigned char> rgb;
    bool ok = true;
    for (int64_t k = first; k < end && !interrupted; ++k) {
        audio->setPosition(music, clock.position(k));
        clearFrame();
        if (frameStep() == FrameOutcome::ShowEnded)
            break;
        // The frame rate shown is the capture's: a frame must not depend on how
        // long it took, or chunks would differ from the whole run.
        if (overlay)
            overlay->draw(gatherOverlayFacts((float)clock.fps), 1.0f / clock.fps, nullptr);
        context.swap();
        if (!readFrame(runContext.screenWidth, runContext.screenHeight, rgb) || !sink.write(k, rgb.data())) {
            ok = false;
            break;
        }
        *rendered += 1;
        progress.frameDone(k, musicTime, currentScene);
    }
    progress.finish();
    return ok;
}

} // namespace

int runCapture(const Options& options) {
    Output kind = classify(options.captureOut);
    if (kind == Output::Unknown) {
        reportError("--capture needs a directory (ending in /) or a file ending in .mp4 or .mkv, not %s\n",
                    options.captureOut);
        return 2;
    }
    if (kind == Output::Video && !FfmpegPipe::available()) {
        reportError(
            "Capturing a video needs the ffmpeg program, which is not on the PATH (apt install ffmpeg)\n");
        return 1;
    }
    if (endsWith(options.captureOut, ".mp4") && (options.width % 2 || options.height % 2)) {
        reportError("An .mp4 video needs an even width and height, not %dx%d\n", options.width,
                    options.height);
        return 2;
    }
    // A directory that cannot be had fails before the long start-up.
    if (kind == Output::Pngs && !PngSequence(options.captureOut, options.width, options.height).open())
        return 1;
    // The window's start-up, on the manual clock.
    HeadlessStart run;
    if (!run.start(options.width, options.height,
                   renderSideForFrame(options.renderWidth, options.width, options.height), options.glDebug))
        return 1;
    openMusic();
    FrameClock clock{options.fps, run.manualMusic().format(music)};
    int64_t first = 0, end = 0;
    if (!frameRange(options, clock, &first, &end))
        return 1;
    buildShow(options);
    replayTimeline(first, clock);
    startShow();
    reshape(runContext.screenWidth, runContext.screenHeight);

    std::unique_ptr<FrameSink> sink = openSink(kind, options, clock, first, end);
    if (!sink)
        return 1;
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESTART | SA_RESETHAND; // a second Ctrl-C ends the process at once
    sigaction(SIGINT, &action, nullptr);
    signal(SIGPIPE, SIG_IGN); // a dead ffmpeg shows as a failed write instead

    // --overlay, for tutorials: the overlay is never in a capture otherwise.
    std::unique_ptr<Overlay> overlay;
    if (options.overlay) {
        overlay.reset(new Overlay());
        if (!overlay->ok())
            return 1;
        overlay->settle(gatherOverlayFacts((float)clock.fps), 1.0f / clock.fps);
    }

    int64_t rendered = 0;
    bool ok = renderFrames(run.context(), clock, first, end, *sink, overlay.get(), &rendered);
    ok = sink->finish() && ok;
    signal(SIGINT, SIG_DFL);
    if (!ok) {
        reportError("Capture to %s failed after %lld frames\n", options.captureOut, (long long)rendered);
        return 1;
    }
    printf("Captured frames %lld to %lld (%lld frames) to %s\n", (long long)first,
           (long long)(first + rendered - 1), (long long)rendered, options.captureOut);
    if (run.context().debugging()) {
        int problems = run.context().debugProblems();
        printf("GL debug: %d errors or undefined behaviour\n", problems);
        if (problems > 0) {
            reportError("GL reported %d errors or undefined behaviour during the capture\n", problems);
            return 1;
        }
    }
    if (interrupted) {
        printf("Stopped by Ctrl-C before frame %lld\n", (long long)(first + rendered));
        return 130;
    }
    return 0;
}
