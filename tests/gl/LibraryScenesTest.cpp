// The scene library as a scene table would run it: the real shaders, bitmaps
// written at test time (each of its own width, so a texture tells which file it
// holds), a small window. Every class of --scene's table is built through it.
#include "core/MusicTime.h"
#include "scene/HeadlessContext.h"
#include "scenes/effects/CubeBufferContent.h"
#include "scenes/effects/SceneM1.h"
#include "scenes/effects/SceneRaytracedCubes.h"
#include "scenes/effects/SceneRaytracedInfo.h"
#include "scenes/effects/SceneRaytracer.h"
#include "scenes/effects/TwoBitmapEffect.h"
#include "shell/ScenePreview.h"
#include "shell/ShellState.h"
#include "shell/Startup.h"
#include "support/BitmapFiles.h"
#include "support/GlTest.h"
#include "support/LiveGlObjects.h"
#include "support/PngFile.h"
#include "support/ScratchDataDir.h"
#include "support/ShellFakes.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 48;
constexpr int kHeight = 36;

const char* const kBitmaps[] = {"dirt-texture", "lava-texture-4", "grain1", "code2",
                                "testvox",      "tiles",          "tiles2"};
int bitmapWidth(const std::string& name) {
    for (int i = 0; i < 7; ++i)
        if (name == kBitmaps[i])
            return 20 + 2 * i;
    return -1;
}

GLint integer(GLenum what) {
    GLint value = -1;
    glGetIntegerv(what, &value);
    return value;
}

GLint boundOnUnit(int unit, GLenum binding = GL_TEXTURE_BINDING_2D) {
    glActiveTexture(GL_TEXTURE0 + unit);
    return integer(binding);
}

// One frame as the frame loop draws it.
void drawFrame(Scene& scene, float time) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    scene.render(time, 0.25f);
}

// Colours a picture of the window holds at the least: a picture, not a flat fill.
constexpr size_t kPictureColours = 32;

class LibraryScene : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.create(kWidth, kHeight));
        glViewport(0, 0, kWidth, kHeight);
        runContext.screenWidth = kWidth;
        runContext.screenHeight = kHeight;
        data = std::make_unique<ScratchDataDir>(
            std::string("library_") + ::testing::UnitTest::GetInstance()->current_test_info()->name(), false);
        dir = data->path();
        ASSERT_FALSE(dir.empty());
        runCommand("mkdir -p '" + dir + "/textures'");
        for (const char* name : kBitmaps)
            ASSERT_TRUE(writeFile(dir + "/textures/" + name + ".bmp", patternBitmap(bitmapWidth(name), 16)));
    }

    static void frame(Scene& scene, float time) { drawFrame(scene, time); }
    std::vector<unsigned char> picture(const std::string& name) {
        std::vector<unsigned char> rgba = readFrame(kWidth, kHeight);
        std::vector<float> asFloat(rgba.begin(), rgba.end());
        for (float& v : asFloat)
            v /= 255;
        writePng(dir + "/" + name + ".png", asFloat, kWidth, kHeight);
        return rgba;
    }

    HeadlessContext context;
    std::unique_ptr<ScratchDataDir> data; // the working directory while the test runs
    std::string dir;
};

// ---- Every class of the scene table: built, activated, drawn ----

// What the test knows of a class beyond the table: the fragment shader it draws
// with, how it binds its bitmaps and which files they are. A class of the table
// without an entry here gets the checks every scene gets, so a class added to the
// table is covered without naming it here.
enum class Binding { TwoUnits, BeatSwitched, CubeBuffer };

struct Expectation {
    const char* value; // as --scene takes it
    const char* fragmentFile;
    Binding binding;
    const char* bitmaps[2]; // files behind the scene's first and second texture
};

const Expectation kExpectations[] = {
    {"Scene1", "shaders\\frag1.glsl", Binding::TwoUnits, {"dirt-texture", "lava-texture-4"}},
    {"SceneGLSLTunnel:0", "shaders\\TunnelFrag.glsl", Binding::TwoUnits, {"dirt-texture", "lava-texture-4"}},
    {"SceneGLSLTunnel:1",
     "shaders\\SquareTunnelFrag.glsl",
     Binding::TwoUnits,
     {"dirt-texture", "lava-texture-4"}},
    {"SceneGLSLTunnel:2",
     "shaders\\ReliefTunnelFrag.glsl",
     Binding::TwoUnits,
     {"dirt-texture", "lava-texture-4"}},
    {"SceneGLSLTunnel:-1",
     "shaders\\ReliefTunnelFrag.glsl",
     Binding::TwoUnits,
     {"dirt-texture", "lava-texture-4"}},
    {"SceneM1", "shaders\\fragM1.glsl", Binding::TwoUnits, {"dirt-texture", "grain1"}},
    {"SceneRaytracedInfo", "shaders\\RaytracedInfoFrag.glsl", Binding::BeatSwitched, {"code2", "testvox"}},
    {"SceneRaytracer", "shaders\\RaytracerFrag.glsl", Binding::BeatSwitched, {"tiles", "tiles2"}},
    {"SceneRaytracedCubes", "shaders\\RaytracedCubesFrag.glsl", Binding::CubeBuffer, {}},
};

const Expectation* expectationFor(const std::string& value) {
    for (const Expectation& e : kExpectations)
        if (value == e.value)
            return &e;
    return nullptr;
}

// Every class with every example argument of the table, and a negative tunnel
// type, which the examples leave out (it is a relief tunnel too).
std::vector<std::string> everyClass() {
    std::vector<std::string> values = librarySceneValues(true);
    values.push_back("SceneGLSLTunnel:-1");
    return values;
}

// A --scene value as a test and file name: "SceneGLSLTunnel:-1" is SceneGLSLTunnel__1.
std::string nameOf(std::string value) {
    for (char& c : value)
        c = isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return value;
}

// The program and textures of the scene classes with expectations.
struct Built {
    const ShaderProgram* program = nullptr;
    GLuint textures[2] = {0, 0};
};

Built inspect(Scene& scene) {
    if (auto* effect = dynamic_cast<TwoBitmapEffect*>(&scene))
        return {&effect->program(), {effect->textureName(0), effect->textureName(1)}};
    if (auto* m1 = dynamic_cast<SceneM1*>(&scene))
        return {&m1->program(), {m1->textureName(0), m1->textureName(1)}};
    if (auto* cubes = dynamic_cast<SceneRaytracedCubes*>(&scene))
        return {&cubes->program(), {cubes->bufferTextureName(), 0}};
    return {};
}

class EveryLibraryScene : public LibraryScene, public ::testing::WithParamInterface<std::string> {
  protected:
    void SetUp() override {
        LibraryScene::SetUp();
        // The classes without expectations read the build's own data: every other
        // bitmap and the models.
        runCommand("for f in '" DEMO_BINARY_DIR "/data/textures/'*; do [ -e \"textures/${f##*/}\" ] || "
                   "ln -s \"$f\" textures/; done; ln -s '" DEMO_BINARY_DIR "/data/models/'* models/");
        resetShellForTest(fakeMusic, fakeWindowing);
        for (int n = 1; n <= SceneTable::kSlots; ++n)
            scenes.set(n, nullptr);
        runContext.screenWidth = kWidth; // the shell's reset put back the full window
        runContext.screenHeight = kHeight;
        setInitialGlState(); // what the shell's start-up leaves for every scene
    }

    // Built as --scene builds it, through the scene table, and taken out of the
    // table so that the test deletes it while its context is current.
    std::unique_ptr<Scene> build(std::string& printed) {
        SceneChoice choice;
        EXPECT_EQ(parseSceneChoice(GetParam().c_str(), &choice), "");
        testing::internal::CaptureStdout();
        createPreviewScene(choice);
        fflush(stdout);
        printed = testing::internal::GetCapturedStdout();
        std::unique_ptr<Scene> scene(scenes.get(1));
        scenes.set(1, nullptr);
        return scene;
    }

    FakeMusic fakeMusic;
    FakeWindowing fakeWindowing;
};

// The uniforms a scene sets, with the setter's type and the value of a frame.
struct Expected {
    bool isFloat;
    double value;
};

// Poisons every active uniform of `program`, draws a frame, and checks that the
// frame set each of them to what `sets` says.
void expectEveryUniformSet(Scene& scene, GLuint program, GLenum sampler, float time,
                           const std::map<std::string, Expected>& sets) {
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    std::vector<std::pair<std::string, GLenum>> active;
    for (GLint i = 0; i < count; ++i) {
        char name[128];
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, i, sizeof name, nullptr, &size, &type, name);
        active.push_back({name, type});
        GLint at = glGetUniformLocation(program, name);
        if (type == GL_FLOAT)
            glUniform1f(at, -123.0f);
        else
            glUniform1i(at, type == GL_INT ? 97 : 5);
    }
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    drawFrame(scene, time);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    std::set<std::string> seen;
    for (auto& [name, type] : active) {
        seen.insert(name);
        auto set = sets.find(name);
        ASSERT_NE(set, sets.end()) << name << " is never set";
        GLint at = glGetUniformLocation(program, name.c_str());
        if (set->second.isFloat) {
            EXPECT_EQ(type, GLenum(GL_FLOAT)) << name;
            GLfloat value = 0;
            glGetUniformfv(program, at, &value);
            EXPECT_FLOAT_EQ(value, set->second.value) << name;
        } else {
            EXPECT_EQ(type, name.compare(0, 3, "tex") == 0 ? sampler : GLenum(GL_INT)) << name;
            GLint value = 0;
            glGetUniformiv(program, at, &value);
            EXPECT_EQ(value, set->second.value) << name;
        }
    }
    EXPECT_TRUE(seen.count("tex0") && seen.count("time")) << "the picture follows the bitmap and the time";
}

// What is known of the class: its shader, its bitmaps on their units and every
// uniform its shader uses set by a frame.
void expectKnownClass(Scene& scene, const Expectation& e, float time) {
    Built built = inspect(scene);
    ASSERT_NE(built.program, nullptr) << "a class with expectations the test cannot look into";
    EXPECT_STREQ(built.program->fragmentFile(), e.fragmentFile);
    for (int i = 0; i < 2 && e.binding != Binding::CubeBuffer; ++i) {
        glBindTexture(GL_TEXTURE_2D, built.textures[i]);
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_EQ(width, bitmapWidth(e.bitmaps[i])) << "textures[" << i << "]";
    }

    scene.activate();
    GLuint program = built.program->programName();
    ASSERT_EQ(GLuint(integer(GL_CURRENT_PROGRAM)), program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    ASSERT_EQ(linked, GL_TRUE);

    std::map<std::string, Expected> sets = {{"tex0", {false, 0}},
                                            {"time", {true, time}},
                                            {"ScreenWidth", {false, kWidth}},
                                            {"ScreenHeight", {false, kHeight}}};
    if (e.binding == Binding::TwoUnits)
        sets["tex1"] = {false, 1};
    GLenum sampler = e.binding == Binding::CubeBuffer ? GL_SAMPLER_BUFFER : GL_SAMPLER_2D;
    ASSERT_NO_FATAL_FAILURE(expectEveryUniformSet(scene, program, sampler, time, sets));

    switch (e.binding) {
    case Binding::TwoUnits:
        // The second bitmap on unit 0, the first on unit 1, which stays selected.
        EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
        EXPECT_EQ(GLuint(boundOnUnit(0)), built.textures[1]);
        EXPECT_EQ(GLuint(boundOnUnit(1)), built.textures[0]);
        break;
    case Binding::BeatSwitched:
        EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
        break;
    case Binding::CubeBuffer:
        EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
        EXPECT_EQ(GLuint(boundOnUnit(0, GL_TEXTURE_BINDING_BUFFER)), built.textures[0]);
        break;
    }
}

TEST_P(EveryLibraryScene, DrawsAPictureAndItsEnterKeyLeavesNothingBehind) {
    const float time = 2.2f; // beat 4.88
    std::string printed;
    std::unique_ptr<Scene> scene = build(printed);
    ASSERT_NE(scene, nullptr);
    const Expectation* known = expectationFor(GetParam());
    if (known) {
        EXPECT_EQ(printed, "Scene1 init\n");
        ASSERT_NO_FATAL_FAILURE(expectKnownClass(*scene, *known, time));
    } else {
        // Built once: one line of its init among what its start-up prints.
        size_t inits = 0;
        for (size_t at = printed.find(" init\n"); at != std::string::npos;
             at = printed.find(" init\n", at + 1))
            ++inits;
        EXPECT_EQ(inits, 1u) << printed;
        scene->activate();
        drawFrame(*scene, time);
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    std::vector<unsigned char> rgba = picture(nameOf(GetParam()));
    std::set<unsigned> colours;
    for (size_t i = 0; i < rgba.size(); i += 4)
        colours.insert(rgba[i] << 16 | rgba[i + 1] << 8 | rgba[i + 2]);
    EXPECT_GE(colours.size(), kPictureColours) << "a picture, not a flat fill";

    // The Enter key: everything made anew, nothing left behind but the programs.
    LiveGlObjects before = LiveGlObjects::count();
    scene->init();
    EXPECT_EQ(LiveGlObjects::count(), before);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(Library, EveryLibraryScene, ::testing::ValuesIn(everyClass()),
                         [](const auto& info) { return nameOf(info.param); });

TEST(LibrarySceneExpectations, NameClassesOfTheSceneTable) {
    const std::vector<std::string> values = everyClass();
    for (const Expectation& e : kExpectations)
        EXPECT_NE(std::find(values.begin(), values.end(), e.value), values.end())
            << e.value << " is no --scene value of the table: its expectations would never be checked";
}

// ---- The beat-switched pair ----

// Which bitmap unit 0 holds after a frame at each music time, and how it is filtered.
void expectSwitching(Scene& scene, const GLuint (&textures)[2],
                     const std::vector<std::pair<float, int>>& times, GLint filter) {
    scene.activate();
    for (auto [time, index] : times) {
        glActiveTexture(GL_TEXTURE3);
        scene.render(time, 0);
        EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0) << time;
        EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), textures[index]) << "beat " << secondsToBeats(time);
        GLint min = 0, mag = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
        EXPECT_EQ(min, filter);
        EXPECT_EQ(mag, filter);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(LibraryScene, InfoSwitchesBitmapEveryFourBeatsAndRaytracerEveryBeat) {
    SceneRaytracedInfo info(runContext);
    // Beat 4 falls at 1.795 s, beat 8 at 3.641 s.
    expectSwitching(info, {info.textureName(0), info.textureName(1)},
                    {{0.0f, 0}, {1.75f, 0}, {1.85f, 1}, {3.6f, 1}, {3.7f, 0}, {5.6f, 1}}, GL_NEAREST);
    SceneRaytracer raytracer(runContext);
    // Beat 1 falls at 0.411 s.
    expectSwitching(raytracer, {raytracer.textureName(0), raytracer.textureName(1)},
                    {{0.0f, 0}, {0.40f, 0}, {0.42f, 1}, {0.9f, 0}, {1.4f, 1}}, GL_LINEAR);
}

// ---- SceneM1 ----

TEST_F(LibraryScene, M1PrintsTheMusicTimeOncePerFrameAndNeverBindsItsOtherPrograms) {
    testing::internal::CaptureStdout();
    SceneM1 scene(runContext);
    scene.activate();
    for (float time : {1.5f, 1.75f, 2.0f})
        frame(scene, time);
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Scene1 init\ntime: 1.500000\ntime: 1.750000\ntime: 2.000000\n");
    EXPECT_EQ(GLuint(integer(GL_CURRENT_PROGRAM)), scene.program(0).programName());
    for (int i = 1; i < 3; ++i) {
        GLint linked = GL_FALSE, uniforms = -1;
        glGetProgramiv(scene.program(i).programName(), GL_LINK_STATUS, &linked);
        glGetProgramiv(scene.program(i).programName(), GL_ACTIVE_UNIFORMS, &uniforms);
        EXPECT_EQ(linked, GL_TRUE) << i;
        EXPECT_EQ(uniforms, 0) << i << ": built but never drawn with, so it takes no input";
    }
}

// ---- SceneRaytracedCubes ----

std::vector<float> cubeBufferContents(GLuint buffer) {
    std::vector<float> texels(kCubeBufferTexels * 4, -1.0f);
    glBindBuffer(GL_TEXTURE_BUFFER, buffer);
    glGetBufferSubData(GL_TEXTURE_BUFFER, 0, kCubeBufferBytes, texels.data());
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
    return texels;
}

void expectCube(const std::vector<float>& texels, float size) {
    const std::vector<float> head = {30, -10, 50, 0, 30 + size, -10 + size, 50 + size, size, 1, 0, 0.2f, 1};
    for (size_t i = 0; i < head.size(); ++i)
        EXPECT_FLOAT_EQ(texels[i], head[i]) << "component " << i;
    size_t nonzero = 0;
    for (size_t i = head.size(); i < texels.size(); ++i)
        nonzero += texels[i] != 0.0f;
    EXPECT_EQ(nonzero, 0u) << "texels 3 to 1023 read as zero";
}

TEST_F(LibraryScene, CubeBufferHoldsTheCubeOfTheMusicTimeOnUnitZeroAndSurvivesAnotherInit) {
    SceneRaytracedCubes scene(runContext);
    GLuint buffer = scene.bufferName(), texture = scene.bufferTextureName();
    glBindBuffer(GL_TEXTURE_BUFFER, buffer);
    GLint bytes = 0, usage = 0;
    glGetBufferParameteriv(GL_TEXTURE_BUFFER, GL_BUFFER_SIZE, &bytes);
    glGetBufferParameteriv(GL_TEXTURE_BUFFER, GL_BUFFER_USAGE, &usage);
    EXPECT_EQ(bytes, kCubeBufferBytes);
    EXPECT_EQ(usage, GL_DYNAMIC_DRAW);
    // Whatever was in the buffer before is overwritten.
    std::vector<float> junk(kCubeBufferTexels * 4, 7.5f);
    glBufferSubData(GL_TEXTURE_BUFFER, 0, kCubeBufferBytes, junk.data());
    // Another scene's buffer texture left on unit 0.
    GlTexture other = GlTexture::generate();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_BUFFER, other.get());

    scene.activate();
    frame(scene, 0.0f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(GLuint(boundOnUnit(0, GL_TEXTURE_BINDING_BUFFER)), texture);
    expectCube(cubeBufferContents(buffer), 21.0f);
    frame(scene, float(M_PI));
    expectCube(cubeBufferContents(buffer), 1.0f);
    picture("cube_at_pi");

    // The Enter key: quad and program anew, the buffer kept with its contents, and
    // nothing left behind.
    LiveGlObjects before = LiveGlObjects::count();
    scene.init();
    scene.activate();
    EXPECT_EQ(scene.bufferName(), buffer);
    EXPECT_EQ(scene.bufferTextureName(), texture);
    EXPECT_EQ(LiveGlObjects::count(), before);
    expectCube(cubeBufferContents(buffer), 1.0f);
    frame(scene, 0.0f);
    expectCube(cubeBufferContents(buffer), 21.0f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(LibraryScene, CubeBufferThatCannotBeMappedIsReportedOnceAndLeftAlone) {
    SceneRaytracedCubes scene(runContext);
    scene.activate();
    frame(scene, 0.0f);
    // Mapped elsewhere: the scene's own mapping fails.
    glBindBuffer(GL_TEXTURE_BUFFER, scene.bufferName());
    ASSERT_NE(glMapBuffer(GL_TEXTURE_BUFFER, GL_READ_ONLY), nullptr);
    testing::internal::CaptureStderr();
    frame(scene, float(M_PI));
    frame(scene, float(M_PI));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: Could not map the cube buffer\n");
    glBindBuffer(GL_TEXTURE_BUFFER, scene.bufferName());
    glUnmapBuffer(GL_TEXTURE_BUFFER);
    glGetError();
    expectCube(cubeBufferContents(scene.bufferName()), 21.0f);
    frame(scene, float(M_PI));
    expectCube(cubeBufferContents(scene.bufferName()), 1.0f);
}

} // namespace
