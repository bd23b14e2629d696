#include "scene/RunContext.h"

#include "core/DataPath.h"

std::string RunContext::dataPath(const char* name) const {
    std::string path = ::dataPath(name);
    if (openedFiles && !path.empty())
        openedFiles->push_back(path);
    return path;
}
