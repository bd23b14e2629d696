#include "support/ScratchDataDir.h"

#include "support/PngFile.h"
#include "support/TestPaths.h"

#include <climits>
#include <cstdio>
#include <unistd.h>

ScratchDataDir::ScratchDataDir(const std::string& name, bool withBitmaps) : dir(makeScratchDir(name)) {
    std::string quoted = "'" + dir + "'";
    runCommand("mkdir -p " + quoted + "/models && ln -s '" DEMO_SOURCE_DIR "/data/shaders' " + quoted +
               "/shaders");
    if (withBitmaps)
        runCommand("ln -s '" DEMO_BINARY_DIR "/data/textures' " + quoted + "/textures");
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd))
        previous = cwd;
    if (chdir(dir.c_str()) != 0)
        dir.clear();
}

ScratchDataDir::~ScratchDataDir() {
    if (!previous.empty() && chdir(previous.c_str()) != 0)
        perror("chdir");
}

void ScratchDataDir::savePicture(const std::string& name, const std::vector<unsigned char>& rgba, int width,
                                 int height) const {
    std::vector<float> asFloat(rgba.begin(), rgba.end());
    for (float& v : asFloat)
        v /= 255;
    writePng(dir + "/" + name + ".png", asFloat, width, height);
}
