#include "shell/PngSequence.h"
#include "core/ErrorReport.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

// Private to this file: the test support compiles its own copy.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

PngSequence::PngSequence(const std::string& directory, int width, int height)
    : directory(directory), width(width), height(height) {
    while (this->directory.size() > 1 && this->directory.back() == '/')
        this->directory.pop_back();
}

bool PngSequence::open() {
    if (mkdir(directory.c_str(), 0777) != 0 && errno != EEXIST) {
        reportError("Could not create the directory %s: %s\n", directory.c_str(), strerror(errno));
        return false;
    }
    struct stat info;
    if (stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        reportError("Could not write frames into %s: not a directory\n", directory.c_str());
        return false;
    }
    return true;
}

std::string PngSequence::fileName(int64_t index) {
    char name[32];
    snprintf(name, sizeof(name), "%06lld.png", (long long)index);
    return name;
}

namespace {

// Encodes in memory and checks every write, so a full disk is reported instead of
// leaving a cut-off file behind.
bool writePngFile(const std::string& path, const unsigned char* rgb, int width, int height) {
    int length = 0;
    unsigned char* png = stbi_write_png_to_mem(rgb, width * 3, width, height, 3, &length);
    if (!png)
        return false;
    FILE* file = fopen(path.c_str(), "wb");
    bool ok = file && fwrite(png, 1, (size_t)length, file) == (size_t)length;
    if (file && fclose(file) != 0)
        ok = false;
    free(png);
    return ok;
}

} // namespace

bool PngSequence::write(int64_t index, const unsigned char* rgb) {
    std::string path = directory + "/" + fileName(index);
    std::string partial = path + ".part";
    if (!writePngFile(partial, rgb, width, height)) {
        reportError("Could not write %s: %s\n", partial.c_str(), strerror(errno));
        remove(partial.c_str());
        return false;
    }
    if (rename(partial.c_str(), path.c_str()) != 0) {
        reportError("Could not rename %s to %s: %s\n", partial.c_str(), path.c_str(), strerror(errno));
        remove(partial.c_str());
        return false;
    }
    return true;
}
