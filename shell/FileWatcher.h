#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

// Notices when files are rewritten, through inotify on their folders: a file
// written and closed (IN_CLOSE_WRITE) or renamed into place (IN_MOVED_TO, how most
// editors save). Never blocks: the frame loop polls it.
class FileWatcher {
  public:
    // Changes are reported once `quietSeconds` have passed without another, so an
    // editor's write-then-rename or a copy of several files comes as one report.
    explicit FileWatcher(double quietSeconds);
    ~FileWatcher();
    FileWatcher(const FileWatcher&) = delete;
    FileWatcher& operator=(const FileWatcher&) = delete;

    // False when inotify is not available; then nothing is ever reported.
    bool ok() const { return fd >= 0; }
    // Watches `path` (as the scenes name it) through its folder; false when the
    // folder cannot be watched. A file watched under several names is reported
    // under each.
    bool watch(const std::string& path);
    // The watched paths changed since the last report, each once, when the latest
    // change is at least the quiet time older than `now` (seconds on any steady
    // clock); otherwise nothing.
    std::vector<std::string> poll(double now);

  private:
    void readEvents(double now);
    void noteChange(const std::string& path, double now);

    int fd = -1;
    double quietSeconds;
    double lastChange = 0;
    std::map<std::pair<int, std::string>, std::vector<std::string>> watched; // (folder watch, name) -> paths
    std::vector<std::string> changed;
};
