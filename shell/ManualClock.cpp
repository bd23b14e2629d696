#include "shell/ManualClock.h"

#include <algorithm>

bool ManualClock::play(bool restart) {
    if (restart)
        current = 0;
    return true;
}

void ManualClock::setPosition(uint64_t bytes) {
    current = std::min(bytes, lengthBytes);
}
