// The whole show and every scene class of the library captured on a GL debug
// context: GL must report no error and no undefined behaviour. CI captures a frame
// a second; DEMO_GL_DEBUG_FPS=N (and DEMO_GL_DEBUG_SIZE=WxH) runs a fuller check.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

#include "shell/ScenePreview.h"
#include "support/TestPaths.h"

namespace {

const std::string kDataDir = std::string(DEMO_BINARY_DIR) + "/data";

std::string setting(const char* name, const char* fallback) {
    const char* value = getenv(name);
    return value && *value ? value : fallback;
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class GlDebugCapture : public ::testing::Test {
  protected:
    void SetUp() override {
        struct stat info;
        if (stat((kDataDir + "/models/intro.3ds").c_str(), &info) != 0)
            GTEST_SKIP() << "the show's models are not in " << kDataDir;
        scratch = makeScratchDir("gl-debug");
    }
    // Captures with --gl-debug into scratch/`name`/: it must end well, report zero
    // problems and print no "ERROR: " line at all.
    void expectClean(const std::string& name, const std::string& arguments) {
        std::string log = scratch + "/" + name + ".log";
        std::string command = "cd '" + kDataDir + "' && '" + DEMO_BINARY_DIR + "/demo' --capture '" +
                              scratch + "/" + name + "/' --gl-debug --fps " +
                              setting("DEMO_GL_DEBUG_FPS", "1") + " --size " +
                              setting("DEMO_GL_DEBUG_SIZE", "64x48") + " --render-width 32" + arguments +
                              " >'" + log + "' 2>&1";
        EXPECT_EQ(runCommand(command), 0) << command << "\n" << bytesOf(log);
        std::string printed = bytesOf(log);
        EXPECT_NE(printed.find("GL debug: 0 errors or undefined behaviour\n"), std::string::npos) << printed;
        EXPECT_EQ(printed.find("ERROR: "), std::string::npos) << printed;
    }
    std::string scratch;
};

TEST_F(GlDebugCapture, TheWholeShowGivesNoGlError) {
    expectClean("show", "");
}

// The overlay's renderer saves and restores the GL state it touches, between a
// scene's frame and the read-back, across the first scene change.
TEST_F(GlDebugCapture, TheOverlayGivesNoGlError) {
    expectClean("overlay", " --overlay --from 20 --to 25");
}

TEST_F(GlDebugCapture, EveryLibrarySceneGivesNoGlError) {
    // Every class of the scene table, with each of its example arguments.
    for (const std::string& scene : librarySceneValues(true)) {
        std::string name = scene.substr(0, scene.find('/'));
        expectClean(name,
                    std::string(" --scene ") + scene + " --to " + setting("DEMO_GL_DEBUG_SECONDS", "3"));
    }
}

} // namespace
