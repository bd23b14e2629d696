#pragma once
#include <AL/al.h>
#include <chrono>

#include "core/Mp3Decoder.h"
#include "shell/StreamClock.h"

// Decoded music played from one OpenAL buffer. Its position is what is being
// heard: the source offset less the output latency OpenAL reports, smoothed with
// a steady clock so that it moves every frame (the device reports in mixing
// periods) and never runs backwards between seeks.
class OpenAlStream : public StreamClock {
  public:
    // Takes the PCM; valid() tells whether OpenAL accepted it.
    explicit OpenAlStream(const DecodedAudio& audio);
    ~OpenAlStream() override;
    bool valid() const { return source != 0; }

    bool play(bool restart) override;
    void pause() override;
    uint64_t position() override;
    void setPosition(uint64_t bytes) override;

  private:
    using Clock = std::chrono::steady_clock;
    double heardSeconds();

    ALuint buffer = 0;
    ALuint source = 0;
    bool hasLatency = false;
    bool started = false;
    bool paused = false;      // position() holds lastSeconds until play
    bool fresh = true;        // the next reading is taken as it is
    bool seekPending = false; // the next query returns the seek target
    uint64_t seekTarget = 0;
    double lastSeconds = 0;
    Clock::time_point lastTime;
};
