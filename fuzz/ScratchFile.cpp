#include "FuzzCheck.h"

#include <unistd.h>

ScratchFile::ScratchFile(const char* suffix) {
    const char* dir = getenv("TMPDIR");
    name = std::string(dir && *dir ? dir : "/tmp") + "/fuzz-" + std::to_string(getpid()) + suffix;
}

ScratchFile::~ScratchFile() {
    unlink(name.c_str());
}

bool ScratchFile::write(const unsigned char* data, size_t size) {
    FILE* f = fopen(name.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}
