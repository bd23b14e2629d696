#pragma once
#include <string>
#include <sys/types.h>
#include <vector>

#include "shell/FrameSink.h"

// A video written by the ffmpeg program from raw RGB frames fed through a pipe,
// with a stretch of the music as its sound. ffmpeg runs in its own process group,
// so a Ctrl-C on the terminal reaches only us: we stop feeding, close the pipe and
// wait, and ffmpeg completes a file that plays.
class FfmpegPipe : public FrameSink {
  public:
    struct Video {
        std::string path; // .mp4: H.264 and AAC; .mkv: lossless FFV1 and FLAC
        int width = 0;
        int height = 0;
        int fps = 60;
        std::string audioPath; // "" for a video without sound
        double audioFrom = 0;  // seconds of the audio file where the video starts
        double duration = 0;   // seconds
    };

    explicit FfmpegPipe(const Video& video) : video(video) {}
    ~FfmpegPipe() override;

    // Whether the ffmpeg program is on the PATH.
    static bool available();
    // The ffmpeg command line for `video`.
    static std::vector<std::string> arguments(const Video& video);

    bool start();
    bool write(int64_t index, const unsigned char* rgb) override;
    // Closes the pipe and waits for ffmpeg; false when it did not end well.
    bool finish() override;

  private:
    Video video;
    int fd = -1;
    pid_t child = -1;
};
