#include "support/TestPaths.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

std::string makeScratchDir(const std::string& name) {
    std::string dir = std::string(DEMO_BINARY_DIR) + "/test-scratch/" + name + "." + std::to_string(getpid());
    runCommand("rm -rf '" + dir + "' && mkdir -p '" + dir + "'");
    return dir;
}

bool writeFile(const std::string& path, const std::string& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

int runCommand(const std::string& command) {
    int status = system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
