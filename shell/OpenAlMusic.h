#pragma once
#include <AL/alc.h>
#include <memory>
#include <string>

#include "shell/Music.h"
#include "shell/StreamClock.h"

// The show's music: MP3 decoded whole with libmpg123 and played through OpenAL
// Soft. Without an audio device the stream still loads and its clock runs
// silently in real time. Handle 0 (no stream could be loaded) is a silent clock
// of `fallbackSeconds`, so the show still plays to its end.
class OpenAlMusic : public Music {
  public:
    // Heard: the position is what the listener hears (or silent real time).
    // Manual: no device is opened and the position moves only through
    // setPosition, for rendering the show frame by frame.
    enum class Clock { Heard, Manual };

    explicit OpenAlMusic(double fallbackSeconds, Clock kind = Clock::Heard);
    ~OpenAlMusic() override;

    bool init(int frequency) override;
    MusicHandle streamCreateFile(const char* path) override;
    bool play(MusicHandle handle, bool restart) override;
    void pause(MusicHandle handle) override;
    uint64_t position(MusicHandle handle) override;
    uint64_t length(MusicHandle handle) override;
    double bytesToSeconds(MusicHandle handle, uint64_t bytes) override;
    uint64_t secondsToBytes(MusicHandle handle, double seconds) override;
    bool setPosition(MusicHandle handle, uint64_t bytes) override;
    void free() override;
    const char* lastError() const override { return error.c_str(); }

    bool hasDevice() const { return device != nullptr; }
    // Sample rate and channels behind a handle's byte positions.
    const PcmFormat& format(MusicHandle handle) { return clock(handle).format(); }

  private:
    static const MusicHandle kStreamHandle = 1;
    StreamClock& clock(MusicHandle handle);

    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    std::unique_ptr<StreamClock> stream;
    std::unique_ptr<StreamClock> fallback;
    std::string error;
    Clock kind;
};
