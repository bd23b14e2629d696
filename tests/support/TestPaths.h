#pragma once
#include <string>

// A fresh scratch directory under the build tree's test area, removed by nothing:
// CI starts from a clean clone, and keeping it helps reading a failure.
std::string makeScratchDir(const std::string& name);
// Writes `bytes` to `path`; returns false on failure.
bool writeFile(const std::string& path, const std::string& bytes);
// Runs a shell command, returning its exit status.
int runCommand(const std::string& command);
