#pragma once
#include <string>

#include "shell/FrameSink.h"

// One PNG file per frame in a directory, named by frame index ("000123.png"). Each
// file is written under a temporary name and renamed when complete, so a file
// with the final name is always a whole picture.
class PngSequence : public FrameSink {
  public:
    PngSequence(const std::string& directory, int width, int height);
    // Creates the directory if it is missing (not its parents).
    bool open();
    bool write(int64_t index, const unsigned char* rgb) override;
    bool finish() override { return true; }

    static std::string fileName(int64_t index);

  private:
    std::string directory;
    int width;
    int height;
};
