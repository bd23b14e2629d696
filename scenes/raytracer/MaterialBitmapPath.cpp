#include "scenes/raytracer/MaterialBitmapPath.h"

#include "scene/RunContext.h"

#include <sys/stat.h>

namespace {

bool isFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

std::string materialBitmapPath(const RunContext& run, const char* mapName, const std::string& modelPath) {
    std::string name(mapName ? mapName : "");
    // run.dataPath takes the name as given and else one that differs only in case.
    std::string underTextures = run.dataPath(("textures\\" + name).c_str());
    if (isFile(underTextures))
        return underTextures;
    size_t slash = modelPath.find_last_of("/\\");
    std::string folder = slash == std::string::npos ? "" : modelPath.substr(0, slash + 1);
    std::string beside = run.dataPath((folder + name).c_str());
    return isFile(beside) ? beside : underTextures;
}
