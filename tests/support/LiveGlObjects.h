#pragma once
#include <ostream>

// How many buffers, textures, framebuffers and vertex arrays the current context
// holds, found by asking glIs* about every name up to a bound that a fresh test
// context never reaches. Names generated but never bound do not count (GL does not
// call them objects yet).
struct LiveGlObjects {
    int buffers = 0;
    int textures = 0;
    int framebuffers = 0;
    int vertexArrays = 0;

    static LiveGlObjects count();
    bool operator==(const LiveGlObjects& other) const;
};
std::ostream& operator<<(std::ostream& out, const LiveGlObjects& live);
