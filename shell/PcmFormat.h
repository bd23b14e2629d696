#pragma once
#include <cstdint>

// Byte positions of 16-bit PCM and their conversion to seconds. Positions always
// fall on whole sample frames.
struct PcmFormat {
    long rate = 44100;
    int channels = 2;

    uint64_t frameBytes() const { return (uint64_t)channels * 2; }
    double bytesPerSecond() const { return (double)rate * frameBytes(); }
    double toSeconds(uint64_t bytes) const { return (double)bytes / bytesPerSecond(); }
    uint64_t toBytes(double seconds) const {
        if (!(seconds > 0))
            return 0; // also catches NaN
        double frames = seconds * rate;
        if (frames >= 9.0e15)
            frames = 9.0e15;
        return (uint64_t)frames * frameBytes();
    }
};
