#pragma once
#include <cstddef>
#include <vector>

// An input a fuzzer once crashed on, kept as bytes so the tree holds no binary
// file; the corpus writer puts each into a file for its target at test time.
struct Regression {
    const char* target; // the fuzz target: bitmap, obj, 3ds, mp3, command_line
    const char* name;
    std::vector<unsigned char> bytes;
};

const std::vector<Regression>& regressions();
