#include "scene/DataPath.h"

std::string dataPath(const char* name) {
    std::string path(name ? name : "");
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}
