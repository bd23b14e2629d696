#include "scenes/raytracer/MaterialBitmapPath.h"

#include "core/DataPath.h"

#include <sys/stat.h>

namespace {

bool isFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

std::string materialBitmapPath(const char* mapName, const std::string& modelPath) {
    std::string name(mapName ? mapName : "");
    // dataPath takes the name as given and else one that differs only in case.
    std::string underTextures = dataPath(("textures\\" + name).c_str());
    if (isFile(underTextures))
        return underTextures;
    size_t slash = modelPath.find_last_of("/\\");
    std::string folder = slash == std::string::npos ? "" : modelPath.substr(0, slash + 1);
    std::string beside = dataPath((folder + name).c_str());
    return isFile(beside) ? beside : underTextures;
}
