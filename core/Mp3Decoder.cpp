#include "core/Mp3Decoder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mpg123.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Handle {
    mpg123_handle* mh = nullptr;
    int fd = -1;
    ~Handle() {
        if (mh) {
            mpg123_close(mh);
            mpg123_delete(mh);
        }
        if (fd >= 0)
            close(fd);
    }
};

bool fail(std::string& error, const std::string& reason) {
    error = reason;
    return false;
}

// libmpg123's reason, without its "(code N)".
std::string libraryError(mpg123_handle* mh) {
    std::string text = mpg123_plain_strerror(mpg123_errcode(mh));
    while (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

// Appends `count` samples of `channels` interleaved channels as the output's
// channel count: a stream may switch between mono and stereo from one frame to the next.
void append(DecodedAudio& out, const int16_t* pcm, size_t count, int channels) {
    if (channels == out.channels) {
        out.samples.insert(out.samples.end(), pcm, pcm + count);
    } else if (channels == 1) {
        for (size_t i = 0; i < count; ++i)
            out.samples.insert(out.samples.end(), 2, pcm[i]);
    } else {
        for (size_t i = 0; i + 1 < count; i += 2)
            out.samples.push_back(int16_t((pcm[i] + pcm[i + 1]) / 2));
    }
}

std::string seconds(double s) {
    char text[32];
    snprintf(text, sizeof(text), "%.1f s", s);
    return text;
}

// Counts frames that start exactly where the frame before them ended: libmpg123
// resyncs over junk silently, so a run is what tells a stream from noise.
struct FrameRun {
    off_t next = -1;
    long current = 0;
    long longest = 0;

    void add(mpg123_handle* mh) {
        mpg123_frameinfo2 info;
        off_t at = mpg123_framepos(mh);
        current = at == next ? current + 1 : 1;
        longest = current > longest ? current : longest;
        next = mpg123_info2(mh, &info) == MPG123_OK ? at + info.framesize : -1;
    }
};

// The sample count the encoder's LAME tag gives, or -1 where the file has none
// (libmpg123's length is then only an estimate from the file size).
off_t taggedLength(mpg123_handle* mh) {
    long delay = -1;
    double unused = 0;
    if (mpg123_getstate(mh, MPG123_ENC_DELAY, &delay, &unused) != MPG123_OK || delay < 0)
        return -1;
    return mpg123_length(mh);
}

} // namespace

bool decodeMp3File(const char* path, DecodedAudio& out, std::string& error) {
    out = DecodedAudio();
    // A failure leaves no samples behind.
    auto refuse = [&](const std::string& reason) {
        out = DecodedAudio();
        return fail(error, reason);
    };
    Handle h;
    // Non-blocking: a FIFO without a writer must not hang start-up.
    h.fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (h.fd < 0)
        return fail(error, std::string("cannot open file: ") + strerror(errno));
    struct stat st;
    if (fstat(h.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return fail(error, "not a regular file");
    if (st.st_size == 0)
        return fail(error, "empty file");

    static const bool initialised = mpg123_init() == MPG123_OK;
    if (!initialised)
        return fail(error, "mpg123 could not be initialised");
    int err = MPG123_OK;
    h.mh = mpg123_new(nullptr, &err);
    if (!h.mh)
        return fail(error, mpg123_plain_strerror(err));
    mpg123_param(h.mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // Always 16-bit output, whatever the decoder would prefer.
    mpg123_format_none(h.mh);
    for (long rate : {8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L})
        mpg123_format(h.mh, rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_fd(h.mh, h.fd) != MPG123_OK)
        return fail(error, mpg123_strerror(h.mh));

    int encoding = 0;
    if (mpg123_getformat(h.mh, &out.rate, &out.channels, &encoding) != MPG123_OK)
        return refuse(std::string("no MPEG audio in it (") + libraryError(h.mh) + ")");
    off_t expected = taggedLength(h.mh);
    if (expected > 0)
        out.samples.reserve((size_t)expected * out.channels);

    FrameRun run;
    int channels = out.channels; // of the samples mpg123 delivers now
    for (;;) {
        off_t frame = 0;
        unsigned char* audio = nullptr;
        size_t bytes = 0;
        int r = mpg123_decode_frame(h.mh, &frame, &audio, &bytes);
        if (bytes > 0)
            append(out, reinterpret_cast<const int16_t*>(audio), bytes / 2, channels);
        if (r == MPG123_DONE)
            break;
        if (r == MPG123_NEW_FORMAT) {
            long rate = 0;
            if (mpg123_getformat(h.mh, &rate, &channels, &encoding) != MPG123_OK)
                return refuse(libraryError(h.mh));
            // One buffer plays at one rate; resampling part of a track is not worth it.
            if (rate != out.rate)
                return refuse("the stream changes its sample rate");
            continue;
        }
        if (r != MPG123_OK)
            return refuse("damaged after " + seconds((double)out.frames() / out.rate) + " (" +
                          libraryError(h.mh) + ")");
        run.add(h.mh);
    }
    if (run.longest < kMinTrackFrameRun)
        return refuse("not an MP3 track: no " + std::to_string(kMinTrackFrameRun) +
                      " MPEG audio frames in a row");
    if (expected > 0 && (off_t)out.frames() < expected)
        return refuse("cut short: " + seconds((double)out.frames() / out.rate) + " of the " +
                      seconds((double)expected / out.rate) + " its LAME tag gives");
    return true;
}
