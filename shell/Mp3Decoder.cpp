#include "shell/Mp3Decoder.h"

#include <mpg123.h>
#include <sys/stat.h>

namespace {

struct Handle {
    mpg123_handle* mh = nullptr;
    ~Handle() {
        if (mh) {
            mpg123_close(mh);
            mpg123_delete(mh);
        }
    }
};

bool fail(std::string& error, const std::string& reason) {
    error = reason;
    return false;
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

} // namespace

bool decodeMp3File(const char* path, DecodedAudio& out, std::string& error) {
    out = DecodedAudio();
    struct stat st;
    if (stat(path, &st) != 0)
        return fail(error, "cannot open file");
    if (!S_ISREG(st.st_mode))
        return fail(error, "not a regular file");

    static const bool initialised = mpg123_init() == MPG123_OK;
    if (!initialised)
        return fail(error, "mpg123 could not be initialised");
    Handle h;
    int err = MPG123_OK;
    h.mh = mpg123_new(nullptr, &err);
    if (!h.mh)
        return fail(error, mpg123_plain_strerror(err));
    mpg123_param(h.mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // Always 16-bit output, whatever the decoder would prefer.
    mpg123_format_none(h.mh);
    for (long rate : {8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L})
        mpg123_format(h.mh, rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(h.mh, path) != MPG123_OK)
        return fail(error, mpg123_strerror(h.mh));

    int encoding = 0;
    if (mpg123_getformat(h.mh, &out.rate, &out.channels, &encoding) != MPG123_OK)
        return fail(error, "not an MP3 stream");
    off_t expected = mpg123_length(h.mh);
    if (expected > 0)
        out.samples.reserve((size_t)expected * out.channels);

    unsigned char buffer[65536];
    int channels = out.channels; // of the samples mpg123 delivers now
    for (;;) {
        size_t done = 0;
        int r = mpg123_read(h.mh, buffer, sizeof(buffer), &done);
        append(out, reinterpret_cast<const int16_t*>(buffer), done / 2, channels);
        if (r == MPG123_DONE)
            break;
        if (r == MPG123_NEW_FORMAT) {
            long rate = 0;
            if (mpg123_getformat(h.mh, &rate, &channels, &encoding) != MPG123_OK)
                return fail(error, mpg123_strerror(h.mh));
            // One buffer plays at one rate; resampling part of a track is not worth it.
            if (rate != out.rate) {
                out = DecodedAudio();
                return fail(error, "the stream changes its sample rate");
            }
            continue;
        }
        if (r != MPG123_OK) {
            out = DecodedAudio();
            return fail(error, mpg123_strerror(h.mh));
        }
    }
    if (out.samples.empty())
        return fail(error, "no audio frames");
    return true;
}
