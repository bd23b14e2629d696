#pragma once
#include <cstdint>

// Handle of a music stream; 0 names no stream.
typedef uint32_t MusicHandle;

// The audio operations the shell uses. Positions and lengths are byte counts of
// the decoded 16-bit PCM; the shell reads them only through the conversions and the
// end test (position not below length ends the show).
class Music {
  public:
    virtual ~Music() = default;

    // Opens the default output device; false when there is none (the clock then
    // runs silently in real time).
    virtual bool init(int frequency) = 0;
    // Loads a whole file as a stream; 0 when it cannot be read or decoded.
    virtual MusicHandle streamCreateFile(const char* path) = 0;
    // Starts playback (from the start when restart is true); the clock starts here.
    // Without restart it also resumes a paused stream where it stopped.
    virtual bool play(MusicHandle handle, bool restart) = 0;
    // Stops the sound and the clock together (the authoring transport's pause): the
    // position stands still, seeks still move it, and play(handle, false) resumes.
    virtual void pause(MusicHandle handle) = 0;
    // The position being heard, never negative, never running backwards between seeks.
    virtual uint64_t position(MusicHandle handle) = 0;
    virtual uint64_t length(MusicHandle handle) = 0;
    virtual double bytesToSeconds(MusicHandle handle, uint64_t bytes) = 0;
    virtual uint64_t secondsToBytes(MusicHandle handle, double seconds) = 0;
    // Moves playback; the next position query returns the new position. A position
    // at or beyond the end is clamped to the length and stops the stream.
    virtual bool setPosition(MusicHandle handle, uint64_t bytes) = 0;
    // Releases the device and the streams.
    virtual void free() = 0;

    // Why the last streamCreateFile failed ("" when it did not).
    virtual const char* lastError() const = 0;
};
