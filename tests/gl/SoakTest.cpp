// Every scene class reloaded again and again through the Enter key with the scene
// on screen, between a zero-high window, every number key and jumps past both ends
// of the track: on a GL debug context, no GL error, no growing count of GL objects
// and no memory growth beyond what the shader programs a reload keeps cost.
// DEMO_SOAK_RELOADS=200 runs a long soak instead of the default 20 reloads.
#include "scene/GlDebugOutput.h"
#include "scene/HeadlessContext.h"
#include "scene/RenderSettings.h"
#include "shell/Callbacks.h"
#include "shell/FrameStep.h"
#include "shell/ScenePreview.h"
#include "shell/ShellState.h"
#include "support/LiveGlObjects.h"
#include "support/ProgramRebuilds.h"
#include "support/ShellFakes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

constexpr int kWidth = 48;
constexpr int kHeight = 36;
constexpr int kRenderWidth = 32;
constexpr int kSettleReloads = 10; // caches and allocators fill up first
constexpr int kDefaultReloads = 20;
constexpr long kSlackPerReload = 64 * 1024;
const std::string kDataDir = std::string(DEMO_BINARY_DIR) + "/data";

int reloadsToRun() {
    const char* env = getenv("DEMO_SOAK_RELOADS");
    int reloads = env ? atoi(env) : kDefaultReloads;
    return reloads > kSettleReloads ? reloads : kDefaultReloads;
}

class Soak : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        requestGlDebugOutput(true);
        ASSERT_TRUE(context.create(kWidth, kHeight));
        ASSERT_TRUE(getcwd(previousDir, sizeof previousDir));
        ASSERT_EQ(chdir(kDataDir.c_str()), 0) << kDataDir;
        resetShellForTest(fakeMusic, fakeWindowing);
        timeline.clear();
        for (int n = 1; n <= SceneTable::kSlots; ++n)
            scenes.set(n, nullptr);
        setRenderWidthOverride(kRenderWidth);
        problemsBefore = glDebugProblemCount();
    }
    void TearDown() override {
        ProgramRebuilds::endSubstitution();
        // Scenes are not meant to be destroyed (no virtual destructor); this one
        // stays behind like the show's, with the context that held its objects.
        scenes.set(1, nullptr);
        setRenderWidthOverride(0);
        requestGlDebugOutput(false);
        EXPECT_EQ(chdir(previousDir), 0);
    }

    // One frame as the display callback draws it; no GL error may come of it.
    void frame(const char* what) {
        clearFrame();
        ASSERT_EQ(frameStep(), FrameOutcome::Rendered) << what;
        context.swap();
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << what;
        ASSERT_EQ(glDebugProblemCount(), problemsBefore) << what;
    }

    void shakeTheShell() {
        reshape(kWidth, 0);
        frame("window 0 high");
        reshape(kWidth, kHeight);
        frame("window back");
        for (unsigned char key = '0'; key <= '9'; ++key) {
            keyboard(key, 0, 0);
            ASSERT_NO_FATAL_FAILURE(frame("number key"));
        }
        fakeMusic.setSeconds(2.0);
        keyboard(8, 0, 0); // backspace clamps at the start
        EXPECT_EQ(fakeMusic.pos, 0u);
        frame("jump before the start");
        fakeMusic.setSeconds(fakeMusic.bytesToSeconds(1, fakeMusic.len) - 1.0);
        keyboard(' ', 0, 0);
        EXPECT_GT(fakeMusic.pos, fakeMusic.len);
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        EXPECT_EQ(frameStep(), FrameOutcome::ShowEnded);
        fakeMusic.setSeconds(1.0);
        frame("back in the track");
    }

    HeadlessContext context;
    FakeMusic fakeMusic;
    FakeWindowing fakeWindowing;
    char previousDir[4096] = {};
    int problemsBefore = 0;
};

TEST_P(Soak, EnterReloadsLeakNoGlObjectsNorMemory) {
    SceneChoice choice;
    ASSERT_EQ(parseSceneChoice(GetParam(), &choice), "");
    createPreviewScene(choice);
    ASSERT_NE(scenes.get(1), nullptr);
    fakeMusic.setSeconds(1.0);
    reshape(kWidth, kHeight);
    ASSERT_NO_FATAL_FAILURE(frame("first frame"));
    ASSERT_NO_FATAL_FAILURE(shakeTheShell());
    const LiveGlObjects built = LiveGlObjects::count();

    const int reloads = reloadsToRun();
    ProgramRebuilds programs; // the programs of the last reload, the ones in use after it
    std::set<GLuint> programsBefore;
    long settled = 0;
    for (int i = 1; i <= reloads; ++i) {
        if (i == reloads)
            programsBefore = ProgramRebuilds::livePrograms();
        keyboard(13, 0, 0);
        ASSERT_NO_FATAL_FAILURE(frame("reload"));
        if (i == reloads)
            programs.takeNewPrograms(programsBefore);
        if (i == kSettleReloads)
            settled = residentBytes();
    }
    const long reloadGrowth = residentBytes() - settled;
    ASSERT_NO_FATAL_FAILURE(shakeTheShell());
    EXPECT_EQ(LiveGlObjects::count(), built);

    // As many reloads of the programs alone, each drawn with in a frame of the scene.
    const long programsStart = residentBytes();
    for (int i = kSettleReloads + 1; i <= reloads; ++i) {
        programs.rebuildAll();
        scenes.activate(currentScene); // binds the new programs, as after a reload
        ASSERT_NO_FATAL_FAILURE(frame("programs reloaded"));
    }
    ProgramRebuilds::endSubstitution();
    const long programGrowth = residentBytes() - programsStart;
    const long perReload = reloadGrowth / (reloads - kSettleReloads);
    const long allowance = programGrowth / (reloads - kSettleReloads);
    printf("%s: %d reloads, %d programs each; resident memory %ld bytes a reload, programs alone %ld\n",
           GetParam(), reloads, programs.programs(), perReload, allowance);
    RecordProperty("bytes_per_reload", std::to_string(perReload));
    RecordProperty("program_bytes_per_reload", std::to_string(allowance));
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's quarantine holds freed memory back, so resident memory says nothing there.
#else
    EXPECT_LE(perReload, allowance + kSlackPerReload) << "programs alone: " << allowance;
#endif
}

INSTANTIATE_TEST_SUITE_P(EveryClass, Soak,
                         ::testing::Values("SceneRaytracerPolygons:models/ull1.3ds", "SceneRaytracedNotes",
                                           "Scene1", "SceneGLSLTunnel", "SceneM1", "SceneRaytracedInfo",
                                           "SceneRaytracer", "SceneRaytracedCubes", "SceneBrask1"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find(':'));
                         });

} // namespace
