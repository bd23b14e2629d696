#include "core/DataPath.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace {

std::string caseInsensitiveMatch(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    DIR* d = opendir(dir.c_str());
    if (!d)
        return path;
    std::string found = path;
    while (dirent* entry = readdir(d)) {
        if (strcasecmp(entry->d_name, base.c_str()) == 0) {
            found = slash == std::string::npos ? entry->d_name : dir + "/" + entry->d_name;
            break;
        }
    }
    closedir(d);
    return found;
}

std::string mappedPath(const char* name) {
    std::string path(name ? name : "");
    for (char& c : path)
        if (c == '\\')
            c = '/';
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) == 0)
        return path;
    return caseInsensitiveMatch(path);
}

} // namespace

std::string dataPath(const char* name) {
    return mappedPath(name);
}
