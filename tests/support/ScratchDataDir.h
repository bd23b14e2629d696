#pragma once
#include <string>
#include <vector>

// A scratch data directory made the working directory for a scene test: the
// source shaders, the bitmaps the build generated (unless withBitmaps is false)
// and an empty models/. The previous working directory comes back on destruction.
class ScratchDataDir {
  public:
    explicit ScratchDataDir(const std::string& name, bool withBitmaps = true);
    ~ScratchDataDir();
    ScratchDataDir(const ScratchDataDir&) = delete;
    ScratchDataDir& operator=(const ScratchDataDir&) = delete;

    const std::string& path() const { return dir; }
    // Writes RGBA bytes from readFrame as `name`.png here, to look at.
    void savePicture(const std::string& name, const std::vector<unsigned char>& rgba, int width,
                     int height) const;

  private:
    std::string dir;
    std::string previous;
};
