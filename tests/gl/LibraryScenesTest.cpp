// The scene library as a scene table would run it: the real shaders, bitmaps
// written at test time (each of its own width, so a texture tells which file it
// holds), a small window.
#include "core/MusicTime.h"
#include "scene/HeadlessContext.h"
#include "scene/ScreenSize.h"
#include "scenes/effects/CubeBufferContent.h"
#include "scenes/effects/Scene1.h"
#include "scenes/effects/SceneGLSLTunnel.h"
#include "scenes/effects/SceneM1.h"
#include "scenes/effects/SceneRaytracedCubes.h"
#include "scenes/effects/SceneRaytracedInfo.h"
#include "scenes/effects/SceneRaytracer.h"
#include "support/BitmapFiles.h"
#include "support/GlTest.h"
#include "support/LiveGlObjects.h"
#include "support/PngFile.h"
#include "support/ScratchDataDir.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

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

class LibraryScene : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.create(kWidth, kHeight));
        glViewport(0, 0, kWidth, kHeight);
        screenWidth = kWidth;
        screenHeight = kHeight;
        data = std::make_unique<ScratchDataDir>(
            std::string("library_") + ::testing::UnitTest::GetInstance()->current_test_info()->name(), false);
        dir = data->path();
        ASSERT_FALSE(dir.empty());
        runCommand("mkdir -p '" + dir + "/textures'");
        for (const char* name : kBitmaps)
            ASSERT_TRUE(writeFile(dir + "/textures/" + name + ".bmp", patternBitmap(bitmapWidth(name), 16)));
    }

    // One frame as the frame loop draws it.
    static void frame(Scene& scene, float time) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        scene.render(time, 0.25f);
    }
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

// ---- Every class: built, activated, drawn ----

enum class Binding { TwoUnits, BeatSwitched, CubeBuffer };

struct Built {
    std::shared_ptr<Scene> scene; // deletes through the class's own destructor
    const ShaderProgram* program;
    GLuint textures[2];
};

template <class S, class... Args> Built build(Args... args) {
    auto scene = std::make_shared<S>(args...);
    return {scene, &scene->program(), {scene->textureName(0), scene->textureName(1)}};
}
Built buildCubes() {
    auto scene = std::make_shared<SceneRaytracedCubes>();
    return {scene, &scene->program(), {scene->bufferTextureName(), 0}};
}

struct LibraryCase {
    const char* name;
    std::function<Built()> make;
    const char* fragmentFile;
    Binding binding;
    const char* bitmaps[2]; // files behind textures[0] and textures[1]
};

std::ostream& operator<<(std::ostream& out, const LibraryCase& c) {
    return out << c.name;
}

class EveryLibraryScene : public LibraryScene, public ::testing::WithParamInterface<LibraryCase> {};

// The uniforms a scene sets, with the setter's type and the value of a frame.
struct Expected {
    bool isFloat;
    double value;
};

TEST_P(EveryLibraryScene, DrawsAPictureWithEveryUniformItsShaderUsesSetAndItsBitmapsOnTheirUnits) {
    const LibraryCase& c = GetParam();
    const float time = 2.2f; // beat 4.88
    testing::internal::CaptureStdout();
    Built built = c.make();
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Scene1 init\n");
    EXPECT_STREQ(built.program->fragmentFile(), c.fragmentFile);
    for (int i = 0; i < 2 && c.binding != Binding::CubeBuffer; ++i) {
        glBindTexture(GL_TEXTURE_2D, built.textures[i]);
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_EQ(width, bitmapWidth(c.bitmaps[i])) << "textures[" << i << "]";
    }

    built.scene->activate();
    GLuint program = built.program->programName();
    ASSERT_EQ(GLuint(integer(GL_CURRENT_PROGRAM)), program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    ASSERT_EQ(linked, GL_TRUE);

    GLenum sampler = c.binding == Binding::CubeBuffer ? GL_SAMPLER_BUFFER : GL_SAMPLER_2D;
    std::map<std::string, Expected> sets = {{"tex0", {false, 0}},
                                            {"time", {true, time}},
                                            {"ScreenWidth", {false, kWidth}},
                                            {"ScreenHeight", {false, kHeight}}};
    if (c.binding == Binding::TwoUnits)
        sets["tex1"] = {false, 1};

    // Poison every active uniform, so only what render sets reads back right.
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

    frame(*built.scene, time);
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

    std::vector<unsigned char> rgba = picture(c.name);
    std::set<unsigned> colours;
    for (size_t i = 0; i < rgba.size(); i += 4)
        colours.insert(rgba[i] << 16 | rgba[i + 1] << 8 | rgba[i + 2]);
    EXPECT_GE(colours.size(), 32u) << "a picture, not a flat fill";

    switch (c.binding) {
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

    // The Enter key: everything made anew, nothing left behind but the programs.
    LiveGlObjects before = LiveGlObjects::count();
    built.scene->init();
    EXPECT_EQ(LiveGlObjects::count(), before);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

const LibraryCase kCases[] = {
    {"Scene1",
     [] { return build<Scene1>(); },
     "shaders\\frag1.glsl",
     Binding::TwoUnits,
     {"dirt-texture", "lava-texture-4"}},
    {"RoundTunnel",
     [] { return build<SceneGLSLTunnel>(); },
     "shaders\\TunnelFrag.glsl",
     Binding::TwoUnits,
     {"dirt-texture", "lava-texture-4"}},
    {"SquareTunnel",
     [] { return build<SceneGLSLTunnel>(1); },
     "shaders\\SquareTunnelFrag.glsl",
     Binding::TwoUnits,
     {"dirt-texture", "lava-texture-4"}},
    {"ReliefTunnel2",
     [] { return build<SceneGLSLTunnel>(2); },
     "shaders\\ReliefTunnelFrag.glsl",
     Binding::TwoUnits,
     {"dirt-texture", "lava-texture-4"}},
    {"ReliefTunnelMinus1",
     [] { return build<SceneGLSLTunnel>(-1); },
     "shaders\\ReliefTunnelFrag.glsl",
     Binding::TwoUnits,
     {"dirt-texture", "lava-texture-4"}},
    {"M1",
     [] { return build<SceneM1>(); },
     "shaders\\fragM1.glsl",
     Binding::TwoUnits,
     {"dirt-texture", "grain1"}},
    {"RaytracedInfo",
     [] { return build<SceneRaytracedInfo>(); },
     "shaders\\RaytracedInfoFrag.glsl",
     Binding::BeatSwitched,
     {"code2", "testvox"}},
    {"Raytracer",
     [] { return build<SceneRaytracer>(); },
     "shaders\\RaytracerFrag.glsl",
     Binding::BeatSwitched,
     {"tiles", "tiles2"}},
    {"RaytracedCubes", buildCubes, "shaders\\RaytracedCubesFrag.glsl", Binding::CubeBuffer, {}},
};

INSTANTIATE_TEST_SUITE_P(Library, EveryLibraryScene, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

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
    SceneRaytracedInfo info;
    // Beat 4 falls at 1.795 s, beat 8 at 3.641 s.
    expectSwitching(info, {info.textureName(0), info.textureName(1)},
                    {{0.0f, 0}, {1.75f, 0}, {1.85f, 1}, {3.6f, 1}, {3.7f, 0}, {5.6f, 1}}, GL_NEAREST);
    SceneRaytracer raytracer;
    // Beat 1 falls at 0.411 s.
    expectSwitching(raytracer, {raytracer.textureName(0), raytracer.textureName(1)},
                    {{0.0f, 0}, {0.40f, 0}, {0.42f, 1}, {0.9f, 0}, {1.4f, 1}}, GL_LINEAR);
}

// ---- SceneM1 ----

TEST_F(LibraryScene, M1PrintsTheMusicTimeOncePerFrameAndNeverBindsItsOtherPrograms) {
    testing::internal::CaptureStdout();
    SceneM1 scene;
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
    SceneRaytracedCubes scene;
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
    SceneRaytracedCubes scene;
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
