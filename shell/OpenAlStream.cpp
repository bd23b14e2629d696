#include "shell/OpenAlStream.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/alext.h>
#include <algorithm>
#include <cmath>

namespace {
// A reading this far from the smoothed estimate is taken as it is (a stall or a
// device hiccup); smaller differences are slewed in over a few frames.
const double kResyncSeconds = 0.25;
const double kSlew = 0.1;
} // namespace

OpenAlStream::OpenAlStream(const DecodedAudio& audio)
    : StreamClock(PcmFormat{audio.rate, audio.channels}, (uint64_t)audio.samples.size() * 2) {
    alGetError();
    alGenBuffers(1, &buffer);
    ALenum format = audio.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    alBufferData(buffer, format, audio.samples.data(), (ALsizei)(audio.samples.size() * 2),
                 (ALsizei)audio.rate);
    alGenSources(1, &source);
    alSourcei(source, AL_BUFFER, (ALint)buffer);
    if (alGetError() != AL_NO_ERROR) {
        if (source)
            alDeleteSources(1, &source);
        if (buffer)
            alDeleteBuffers(1, &buffer);
        source = buffer = 0;
    }
    hasLatency = alIsExtensionPresent("AL_SOFT_source_latency");
}

OpenAlStream::~OpenAlStream() {
    if (source) {
        alSourceStop(source);
        alDeleteSources(1, &source);
    }
    if (buffer)
        alDeleteBuffers(1, &buffer);
}

bool OpenAlStream::play(bool restart) {
    if (!source)
        return false;
    if (paused && !restart) {
        // Resumes where the pause held the clock; the smoothing goes on from there.
        paused = false;
        alGetError();
        alSourcePlay(source);
        lastTime = Clock::now();
        return alGetError() == AL_NO_ERROR;
    }
    paused = false;
    if (restart)
        alSourceRewind(source);
    alGetError();
    alSourcePlay(source);
    started = true;
    fresh = true;
    seekPending = false;
    lastSeconds = 0;
    return alGetError() == AL_NO_ERROR;
}

double OpenAlStream::heardSeconds() {
    double values[2] = {0, 0};
    if (hasLatency) {
        alGetSourcedvSOFT(source, AL_SEC_OFFSET_LATENCY_SOFT, values);
    } else {
        ALfloat offset = 0;
        alGetSourcef(source, AL_SEC_OFFSET, &offset);
        values[0] = offset;
    }
    return std::max(0.0, values[0] - values[1]);
}

void OpenAlStream::pause() {
    if (!source || !started || paused)
        return;
    // The clock stops at what was heard last, and the sound with it.
    position();
    alSourcePause(source);
    paused = true;
}

uint64_t OpenAlStream::position() {
    if (!source || !started)
        return seekPending ? seekTarget : 0;
    if (seekPending) {
        seekPending = false;
        return seekTarget;
    }
    if (paused)
        return std::min(lengthBytes, pcm.toBytes(lastSeconds));
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    // A source that has played its buffer out stops and reads offset 0: the end.
    if (state == AL_STOPPED)
        return lengthBytes;

    Clock::time_point now = Clock::now();
    double measured = heardSeconds();
    double estimate = measured;
    if (!fresh) {
        double predicted = lastSeconds + std::chrono::duration<double>(now - lastTime).count();
        double error = measured - predicted;
        estimate = std::fabs(error) > kResyncSeconds ? measured : predicted + error * kSlew;
    }
    fresh = false;
    lastSeconds = std::max(estimate, lastSeconds);
    lastTime = now;
    return std::min(lengthBytes, pcm.toBytes(lastSeconds));
}

void OpenAlStream::setPosition(uint64_t bytes) {
    if (!source)
        return;
    bytes = std::min(bytes, lengthBytes);
    bytes -= bytes % pcm.frameBytes();
    seekPending = true;
    seekTarget = bytes;
    if (bytes >= lengthBytes) {
        // Past the end: nothing left to hear, and the show ends on the next frame.
        alSourceStop(source);
        seekTarget = lengthBytes;
        return;
    }
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    alSourcei(source, AL_SAMPLE_OFFSET, (ALint)(bytes / pcm.frameBytes()));
    if (started && !paused && state != AL_PLAYING)
        alSourcePlay(source);
    // The smoothing restarts from the target; positions never run back below it.
    lastSeconds = pcm.toSeconds(bytes);
    lastTime = Clock::now();
    fresh = false;
}
