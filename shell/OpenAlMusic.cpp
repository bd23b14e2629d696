#include "shell/OpenAlMusic.h"

#include "core/Mp3Decoder.h"
#include "shell/ManualClock.h"
#include "shell/OpenAlStream.h"
#include "shell/SilentClock.h"

OpenAlMusic::OpenAlMusic(double fallbackSeconds, Clock kind) : kind(kind) {
    PcmFormat format;
    if (kind == Clock::Manual)
        fallback.reset(new ManualClock(format, format.toBytes(fallbackSeconds)));
    else
        fallback.reset(new SilentClock(format, format.toBytes(fallbackSeconds)));
}

OpenAlMusic::~OpenAlMusic() {
    free();
}

bool OpenAlMusic::init(int frequency) {
    if (device || kind == Clock::Manual)
        return true;
    device = alcOpenDevice(nullptr);
    if (!device)
        return false;
    const ALCint attributes[] = {ALC_FREQUENCY, frequency, 0};
    context = alcCreateContext(device, attributes);
    if (!context || !alcMakeContextCurrent(context)) {
        if (context)
            alcDestroyContext(context);
        alcCloseDevice(device);
        context = nullptr;
        device = nullptr;
        return false;
    }
    return true;
}

MusicHandle OpenAlMusic::streamCreateFile(const char* path) {
    error.clear();
    DecodedAudio audio;
    if (!decodeMp3File(path, audio, error))
        return 0;
    stream.reset();
    PcmFormat format{audio.rate, audio.channels};
    uint64_t length = (uint64_t)audio.samples.size() * 2;
    if (kind == Clock::Manual) {
        stream.reset(new ManualClock(format, length));
        return kStreamHandle;
    }
    if (device) {
        std::unique_ptr<OpenAlStream> played(new OpenAlStream(audio));
        if (played->valid()) {
            stream = std::move(played);
            return kStreamHandle;
        }
    }
    // No device (or OpenAL refused the buffer): the clock still runs, silently.
    stream.reset(new SilentClock(format, length));
    return kStreamHandle;
}

StreamClock& OpenAlMusic::clock(MusicHandle handle) {
    if (handle == kStreamHandle && stream)
        return *stream;
    return *fallback;
}

bool OpenAlMusic::play(MusicHandle handle, bool restart) {
    return clock(handle).play(restart);
}

void OpenAlMusic::pause(MusicHandle handle) {
    clock(handle).pause();
}

uint64_t OpenAlMusic::position(MusicHandle handle) {
    return clock(handle).position();
}

uint64_t OpenAlMusic::length(MusicHandle handle) {
    return clock(handle).length();
}

double OpenAlMusic::bytesToSeconds(MusicHandle handle, uint64_t bytes) {
    return clock(handle).format().toSeconds(bytes);
}

uint64_t OpenAlMusic::secondsToBytes(MusicHandle handle, double seconds) {
    return clock(handle).format().toBytes(seconds);
}

bool OpenAlMusic::setPosition(MusicHandle handle, uint64_t bytes) {
    clock(handle).setPosition(bytes);
    return true;
}

void OpenAlMusic::free() {
    // Sources and buffers go before their context, the context before the device.
    stream.reset();
    if (context) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        context = nullptr;
    }
    if (device) {
        alcCloseDevice(device);
        device = nullptr;
    }
}
