#include "shell/FileWatcher.h"

#include <algorithm>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

const uint32_t kEvents = IN_CLOSE_WRITE | IN_MOVED_TO;

} // namespace

FileWatcher::FileWatcher(double quietSeconds) : quietSeconds(quietSeconds) {
    fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
}

FileWatcher::~FileWatcher() {
    if (fd >= 0)
        close(fd);
}

bool FileWatcher::watch(const std::string& path) {
    if (fd < 0 || path.empty())
        return false;
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // One folder named two ways gets one watch descriptor, so the pair identifies the file.
    int folderWatch = inotify_add_watch(fd, folder.c_str(), kEvents);
    if (folderWatch < 0)
        return false;
    std::vector<std::string>& paths = watched[{folderWatch, name}];
    if (std::find(paths.begin(), paths.end(), path) == paths.end())
        paths.push_back(path);
    return true;
}

void FileWatcher::noteChange(const std::string& path, double now) {
    if (std::find(changed.begin(), changed.end(), path) == changed.end())
        changed.push_back(path);
    lastChange = now;
}

void FileWatcher::readEvents(double now) {
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof(buffer));
        if (got <= 0)
            return; // EAGAIN: nothing more for now
        for (ssize_t at = 0; at < got;) {
            const inotify_event* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += sizeof(inotify_event) + event->len;
            if (event->mask & IN_Q_OVERFLOW) {
                // Events were lost: any file may have changed.
                for (const auto& entry : watched)
                    for (const std::string& path : entry.second)
                        noteChange(path, now);
                continue;
            }
            if (event->len == 0)
                continue;
            auto found = watched.find({event->wd, std::string(event->name)});
            if (found != watched.end())
                for (const std::string& path : found->second)
                    noteChange(path, now);
        }
    }
}

std::vector<std::string> FileWatcher::poll(double now) {
    std::vector<std::string> report;
    if (fd < 0)
        return report;
    readEvents(now);
    if (!changed.empty() && now - lastChange >= quietSeconds)
        report.swap(changed);
    return report;
}
