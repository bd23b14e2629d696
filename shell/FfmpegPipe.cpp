#include "shell/FfmpegPipe.h"
#include "core/ErrorReport.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const kProgram = "ffmpeg";

bool endsWith(const std::string& text, const char* tail) {
    size_t n = strlen(tail);
    return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

std::string number(const char* format, double value) {
    char text[64];
    snprintf(text, sizeof(text), format, value);
    return text;
}

} // namespace

bool FfmpegPipe::available() {
    const char* path = getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t begin = 0;
    while (begin <= dirs.size()) {
        size_t end = dirs.find(':', begin);
        if (end == std::string::npos)
            end = dirs.size();
        std::string dir = end > begin ? dirs.substr(begin, end - begin) : ".";
        if (access((dir + "/" + kProgram).c_str(), X_OK) == 0)
            return true;
        begin = end + 1;
    }
    return false;
}

std::vector<std::string> FfmpegPipe::arguments(const Video& v) {
    bool lossless = endsWith(v.path, ".mkv");
    std::vector<std::string> args = {kProgram,
                                     "-hide_banner",
                                     "-loglevel",
                                     "error",
                                     "-y",
                                     "-f",
                                     "rawvideo",
                                     "-pix_fmt",
                                     "rgb24",
                                     "-video_size",
                                     std::to_string(v.width) + "x" + std::to_string(v.height),
                                     "-framerate",
                                     std::to_string(v.fps),
                                     "-i",
                                     "pipe:0"};
    // The sound stops with the last frame, also when Ctrl-C ended the capture early.
    if (!v.audioPath.empty())
        args.insert(args.end(), {"-ss", number("%.6f", v.audioFrom), "-t", number("%.6f", v.duration), "-i",
                                 v.audioPath, "-map", "0:v:0", "-map", "1:a:0", "-shortest"});
    if (lossless)
        args.insert(args.end(), {"-c:v", "ffv1", "-level", "3", "-c:a", "flac"});
    else
        args.insert(args.end(), {"-c:v", "libx264", "-crf", "18", "-pix_fmt", "yuv420p", "-c:a", "aac",
                                 "-b:a", "192k", "-movflags", "+faststart"});
    args.push_back(v.path);
    return args;
}

FfmpegPipe::~FfmpegPipe() {
    if (child > 0)
        finish();
}

bool FfmpegPipe::start() {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        reportError("Could not make a pipe to ffmpeg: %s\n", strerror(errno));
        return false;
    }
    std::vector<std::string> args = arguments(video);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    // Its own process group: a Ctrl-C meant for the capture must not cut the file short.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], 0);
    fflush(nullptr);
    int failed = posix_spawnp(&child, kProgram, &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (failed) {
        child = -1;
        reportError("Could not start %s: %s\n", kProgram, strerror(failed));
        close(ends[0]);
        close(ends[1]);
        return false;
    }
    close(ends[0]);
    fd = ends[1];
    return true;
}

bool FfmpegPipe::write(int64_t, const unsigned char* rgb) {
    size_t left = (size_t)video.width * video.height * 3;
    while (left > 0) {
        ssize_t n = ::write(fd, rgb, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            reportError("ffmpeg stopped taking frames (%s); see its message above\n", strerror(errno));
            return false;
        }
        rgb += n;
        left -= (size_t)n;
    }
    return true;
}

bool FfmpegPipe::finish() {
    if (fd >= 0)
        close(fd);
    fd = -1;
    if (child <= 0)
        return false;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    child = -1;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    if (WIFEXITED(status))
        reportError("ffmpeg failed with status %d writing %s\n", WEXITSTATUS(status), video.path.c_str());
    else
        reportError("ffmpeg was killed by signal %d writing %s\n", WTERMSIG(status), video.path.c_str());
    return false;
}
