#include "shell/SilentClock.h"

#include <algorithm>

bool SilentClock::play(bool restart) {
    if (restart)
        basePosition = 0;
    if (basePosition >= lengthBytes)
        basePosition = lengthBytes;
    baseTime = Clock::now();
    running = true;
    return true;
}

void SilentClock::pause() {
    basePosition = position();
    running = false;
}

uint64_t SilentClock::position() {
    if (!running)
        return basePosition;
    double elapsed = std::chrono::duration<double>(Clock::now() - baseTime).count();
    return std::min(lengthBytes, basePosition + pcm.toBytes(elapsed));
}

void SilentClock::setPosition(uint64_t bytes) {
    basePosition = std::min(bytes, lengthBytes);
    baseTime = Clock::now();
}
