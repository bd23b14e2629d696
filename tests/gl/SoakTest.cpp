// Every scene class reloaded again and again through the Enter key with the scene
// on screen, between a zero-high window, every number key and jumps past both ends
// of the track: on a GL debug context, no GL error, no growing count of GL objects
// and no memory growth beyond what the shader programs a reload keeps cost.
// DEMO_SOAK_RELOADS=200 runs a long soak instead of the default 20 reloads.
#include "scene/HeadlessContext.h"
#include "shell/Callbacks.h"
#include "shell/FrameStep.h"
#include "shell/RenderSettings.h"
#include "shell/ScenePreview.h"
#include "shell/ShellState.h"
#include "support/LiveGlObjects.h"
#include "support/ProgramRebuilds.h"
#include "support/ShellFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <malloc.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 48;
constexpr int kHeight = 36;
constexpr int kRenderWidth = 32;
constexpr int kSettleReloads = 10;  // caches and allocators fill up first
constexpr int kDefaultReloads = 40; // at 20 the programs-alone share came out low one run in six
constexpr long kSlackPerReload = 64 * 1024;
const std::string kDataDir = std::string(DEMO_BINARY_DIR) + "/data";

int reloadsToRun() {
    const char* env = getenv("DEMO_SOAK_RELOADS");
    int reloads = env ? atoi(env) : kDefaultReloads;
    return reloads >= kSettleReloads + 2 ? reloads : kDefaultReloads; // two halves to measure
}

// Resident memory and the bytes the heap has handed out, so that growth in one
// can be told from the allocator's choice of pages in the other.
struct Memory {
    long resident = 0;
    long allocated = 0;
    static Memory now() { return {residentBytes(), (long)mallinfo2().uordblks + (long)mallinfo2().hblkhd}; }
    Memory operator-(const Memory& o) const { return {resident - o.resident, allocated - o.allocated}; }
};

// Growth per step from memory taken after each step. A leak grows in every step;
// a one-off allocation (the driver compiling a shader variant, a cache filling up)
// lands in one, and the allocator's trimming moves resident memory up and down
// from step to step. So: the smaller of the two halves' growth, per step.
struct Growth {
    std::vector<Memory> taken; // before the first step, then after each
    void take() { taken.push_back(Memory::now()); }
    Memory perStep() const {
        const size_t n = taken.size() - 1, half = n / 2;
        const Memory first = taken[half] - taken[0], second = taken[2 * half] - taken[half];
        return {std::min(first.resident, second.resident) / long(half),
                std::min(first.allocated, second.allocated) / long(half)};
    }
};

class Soak : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.create(kWidth, kHeight, true));
        ASSERT_TRUE(getcwd(previousDir, sizeof previousDir));
        ASSERT_EQ(chdir(kDataDir.c_str()), 0) << kDataDir;
        resetShellForTest(fakeMusic, fakeWindowing);
        timeline.clear();
        for (int n = 1; n <= SceneTable::kSlots; ++n)
            scenes.set(n, nullptr);
        setRenderWidthOverride(kRenderWidth);
        problemsBefore = context.debugProblems();
    }
    void TearDown() override {
        ProgramRebuilds::endSubstitution();
        // Scenes are not meant to be destroyed (no virtual destructor); this one
        // stays behind like the show's, with the context that held its objects,
        // and stays reachable as the show's stay in the scene table.
        static auto* retired = new std::vector<Scene*>; // never destroyed, like the table
        retired->push_back(scenes.get(1));
        scenes.set(1, nullptr);
        setRenderWidthOverride(0);
        EXPECT_EQ(chdir(previousDir), 0);
    }

    // One frame as the display callback draws it; no GL error may come of it.
    void frame(const char* what) {
        clearFrame();
        ASSERT_EQ(frameStep(), FrameOutcome::Rendered) << what;
        context.swap();
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << what;
        ASSERT_EQ(context.debugProblems(), problemsBefore) << what;
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
    ASSERT_EQ(parseSceneChoice(GetParam().c_str(), &choice), "");
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
    Growth reloadGrowth;
    for (int i = 1; i <= reloads; ++i) {
        if (i == reloads)
            programsBefore = ProgramRebuilds::livePrograms();
        keyboard(13, 0, 0);
        ASSERT_NO_FATAL_FAILURE(frame("reload"));
        if (i >= kSettleReloads)
            reloadGrowth.take();
        if (i == reloads)
            programs.takeNewPrograms(programsBefore);
    }
    ASSERT_NO_FATAL_FAILURE(shakeTheShell());
    EXPECT_EQ(LiveGlObjects::count(), built);

    // As many reloads of the programs alone, each drawn with in a frame of the scene.
    Growth programGrowth;
    programGrowth.take();
    for (int i = kSettleReloads + 1; i <= reloads; ++i) {
        programs.rebuildAll();
        scenes.activate(currentScene); // binds the new programs, as after a reload
        ASSERT_NO_FATAL_FAILURE(frame("programs reloaded"));
        programGrowth.take();
    }
    ProgramRebuilds::endSubstitution();
    const Memory perReload = reloadGrowth.perStep();
    const Memory programs1 = programGrowth.perStep();
    printf("%s: %d reloads, %d programs each; a reload adds %ld bytes resident, %ld allocated; "
           "programs alone %ld resident, %ld allocated\n",
           GetParam().c_str(), reloads, programs.programs(), perReload.resident, perReload.allocated,
           programs1.resident, programs1.allocated);
    RecordProperty("resident_bytes_per_reload", std::to_string(perReload.resident));
    RecordProperty("program_resident_bytes_per_reload", std::to_string(programs1.resident));
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's quarantine holds freed memory back, so resident memory says nothing there.
#else
    // Only part of what the driver allocates for a program is touched; whether the
    // rest becomes resident depends on which freed pages the allocator hands it, so
    // the allowance is what the programs alone allocate or make resident, whichever
    // is more. The heap itself must grow by no more than the programs' share.
    const long allowance = std::max(programs1.resident, programs1.allocated);
    EXPECT_LE(perReload.resident, allowance + kSlackPerReload);
    EXPECT_LE(perReload.allocated, programs1.allocated + kSlackPerReload);
#endif
}

// Every class of the scene table, so that a class added there is soaked too.
INSTANTIATE_TEST_SUITE_P(EveryClass, Soak, ::testing::ValuesIn(librarySceneValues(false)),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param.substr(0, info.param.find(':'));
                         });

} // namespace

namespace {

// The debug context counts what GL reports as an error or undefined behaviour, and
// nothing else a driver says.
TEST(GlDebugOutput, CountsErrorsAndUndefinedBehaviourOnly) {
    HeadlessContext context;
    ASSERT_TRUE(context.create(8, 8, true));
    GLint flags = 0;
    glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
    EXPECT_TRUE(flags & GL_CONTEXT_FLAG_DEBUG_BIT);
    const int before = context.debugProblems();
    testing::internal::CaptureStderr();
    glEnable(0xdead); // GL_INVALID_ENUM
    glGetError();
    glDebugMessageInsert(GL_DEBUG_SOURCE_APPLICATION, GL_DEBUG_TYPE_PERFORMANCE, 1, GL_DEBUG_SEVERITY_HIGH,
                         -1, "slow");
    glDebugMessageInsert(GL_DEBUG_SOURCE_APPLICATION, GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR, 2,
                         GL_DEBUG_SEVERITY_HIGH, -1, "undefined");
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(context.debugProblems(), before + 2);
    EXPECT_EQ(printed.rfind("ERROR: GL debug error ", 0), 0u) << printed;
    EXPECT_NE(printed.find("ERROR: GL debug undefined behaviour 2: undefined\n"), std::string::npos)
        << printed;
    EXPECT_EQ(printed.find("slow"), std::string::npos) << printed;
}

} // namespace
