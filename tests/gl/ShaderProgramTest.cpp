#include "scene/ShaderProgram.h"
#include "scene/RunContext.h"
#include "scene/Scene.h"
#include "scene/ShaderBuildLog.h"
#include "support/GlTest.h"
#include "support/TestPaths.h"

#include <string>

namespace {

const char* kPassThrough = "void main() { gl_Position = vec4(gl_Vertex.xy, 0.0, 1.0); }\n";
const char* kUniformColour = "uniform float Red;\n"
                             "uniform int Blue;\n"
                             "void main() { gl_FragColor = vec4(Red, 0.5, float(Blue) / 255.0, 1.0); }\n";
const char* kGreen = "void main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); }\n";

class ShaderProgramTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        dir = makeScratchDir("shaders");
        vertex = file("vert.glsl", kPassThrough);
        colour = file("colour.glsl", kUniformColour);
        green = file("green.glsl", kGreen);
    }
    std::string file(const char* name, const char* text) {
        std::string path = dir + "/" + name;
        EXPECT_TRUE(writeFile(path, text));
        return path;
    }
    // Clears to black, draws one full-screen quad with whatever program is current
    // and returns the centre pixel.
    std::vector<int> drawCentre() {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        Scene scene(run);
        scene.drawQuad();
        return pixelAt(readFrame(kSize, kSize), kSize, kSize / 2, kSize / 2);
    }
    GLint currentProgram() {
        GLint current = -1;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        return current;
    }

    // A failed program must not leave the previous scene's program drawing.
    void expectDrawsNothingAfterOther(ShaderProgram& broken) {
        ShaderProgram other;
        other.load(run, vertex.c_str(), green.c_str());
        other.bind();
        broken.bind();
        EXPECT_NE(currentProgram(), static_cast<GLint>(other.programName()));
        broken.setUniform1f("Red", 1.0f);
        broken.setUniform1i("Blue", 1);
        EXPECT_EQ(drawCentre(), (std::vector<int>{0, 0, 0, 255}));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    RunContext run;
    std::string dir, vertex, colour, green;
};

TEST_F(ShaderProgramTest, BindsAndSetsUniformsByNameIgnoringUnknownNames) {
    ShaderProgram shader;
    testing::internal::CaptureStderr();
    shader.load(run, vertex.c_str(), colour.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(shader.programName(), 0u);
    shader.bind();
    EXPECT_EQ(currentProgram(), static_cast<GLint>(shader.programName()));

    shader.setUniform1f("Red", 1.0f);
    shader.setUniform1i("Blue", 51);
    shader.setUniform1f("NoSuchUniform", 3.0f);
    shader.setUniform1i("NoSuchUniform", 3);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    std::vector<int> centre = drawCentre();
    EXPECT_EQ(centre[0], 255);
    EXPECT_NEAR(centre[1], 128, 1);
    EXPECT_EQ(centre[2], 51);
}

TEST_F(ShaderProgramTest, SecondLoadMakesNewNamesAndReloadRereadsTheFiles) {
    ShaderProgram shader;
    shader.load(run, vertex.c_str(), green.c_str());
    GLuint first[3] = {shader.programName(), shader.vertexShaderName(), shader.fragmentShaderName()};
    shader.load(run, vertex.c_str(), green.c_str());
    EXPECT_NE(shader.programName(), first[0]);
    EXPECT_NE(shader.vertexShaderName(), first[1]);
    EXPECT_NE(shader.fragmentShaderName(), first[2]);
    // The replaced objects stay allocated.
    EXPECT_TRUE(glIsProgram(first[0]) && glIsShader(first[1]) && glIsShader(first[2]));

    // Reload picks up the edited file behind the same path.
    file("green.glsl", "void main() { gl_FragColor = vec4(0.0, 0.0, 1.0, 1.0); }\n");
    GLuint before = shader.programName();
    shader.reload();
    EXPECT_NE(shader.programName(), before);
    shader.bind();
    EXPECT_EQ(drawCentre(), (std::vector<int>{0, 0, 255, 255}));
}

TEST_F(ShaderProgramTest, PendingGlErrorIsDiscardedBeforeLoading) {
    glEnable(0xFFFF); // leaves GL_INVALID_ENUM pending
    ShaderProgram shader;
    shader.load(run, vertex.c_str(), green.c_str());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    shader.bind();
    EXPECT_EQ(drawCentre(), (std::vector<int>{0, 255, 0, 255}));
}

TEST_F(ShaderProgramTest, MissingFileIsReportedAndDrawsNothing) {
    std::string missing = dir + "/missing.glsl";
    ShaderProgram shader;
    testing::internal::CaptureStderr();
    shader.load(run, vertex.c_str(), missing.c_str());
    std::string err = testing::internal::GetCapturedStderr();
    // One line: the empty stage's compile or link failure would only repeat it.
    EXPECT_EQ(err, "ERROR: Could not read shader file " + missing + "\n");
    expectDrawsNothingAfterOther(shader);
}

TEST_F(ShaderProgramTest, DirectoryIsReportedAsUnreadable) {
    ShaderProgram shader;
    testing::internal::CaptureStderr();
    shader.load(run, dir.c_str(), green.c_str());
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "ERROR: Could not read shader file " + dir + "\n");
    expectDrawsNothingAfterOther(shader);
}

TEST_F(ShaderProgramTest, CompileErrorNamesTheFileWithTheLog) {
    std::string broken = file("broken.glsl", "void main() { gl_FragColor = vec4(1.0) }\n");
    ShaderProgram shader;
    testing::internal::CaptureStderr();
    shader.load(run, vertex.c_str(), broken.c_str());
    std::string err = testing::internal::GetCapturedStderr();
    // The line of the first message comes after the name, as compilers write it.
    std::string head = "ERROR: Could not compile shader file " + broken + ":1:\n";
    ASSERT_EQ(err.rfind(head, 0), 0u) << err;
    EXPECT_GT(err.size(), head.size() + 1) << "no info log";
    expectDrawsNothingAfterOther(shader);
}

TEST_F(ShaderProgramTest, LinkErrorNamesBothFiles) {
    // Both stages compile, but the vertex stage has no main.
    std::string noMain = file("nomain.glsl", "float unused() { return 1.0; }\n");
    ShaderProgram shader;
    testing::internal::CaptureStderr();
    shader.load(run, noMain.c_str(), green.c_str());
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("ERROR: Could not link shader files " + noMain + " and " + green + ":\n", 0), 0u)
        << err;
    expectDrawsNothingAfterOther(shader);

    // Fixing the file and reloading brings the picture back.
    file("nomain.glsl", kPassThrough);
    shader.reload();
    shader.bind();
    EXPECT_EQ(drawCentre(), (std::vector<int>{0, 255, 0, 255}));
}

// Live editing: a reload that fails keeps the last program that linked drawing,
// uniforms included, until a reload links again.
TEST_F(ShaderProgramTest, FailedReloadKeepsTheLastLinkedProgramWhenAsked) {
    std::string edited = file("edited.glsl", kUniformColour);
    ShaderProgram shader;
    shader.load(run, vertex.c_str(), edited.c_str());
    GLuint good = shader.programName();
    ShaderBuildLog log;
    run.shaderBuildLog = &log;
    file("edited.glsl", "uniform float Red;\n\nvoid main() { gl_FragColor = vec4(Red) + nothing; }\n");
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    shader.reload();
    std::string out = testing::internal::GetCapturedStdout();
    std::string err = testing::internal::GetCapturedStderr();
    run.shaderBuildLog = nullptr;
    EXPECT_EQ(err.rfind("ERROR: Could not compile shader file " + edited + ":3:\n", 0), 0u) << err;
    EXPECT_EQ(out, "Still drawing with the last program of " + vertex + " and " + edited + " that linked\n");
    EXPECT_NE(shader.programName(), good);

    ShaderProgram other;
    other.load(run, vertex.c_str(), green.c_str());
    other.bind();
    shader.bind();
    EXPECT_EQ(currentProgram(), static_cast<GLint>(good));
    shader.setUniform1f("Red", 1.0f);
    shader.setUniform1i("Blue", 255);
    EXPECT_EQ(drawCentre(), (std::vector<int>{255, 128, 255, 255}));

    file("edited.glsl", kGreen);
    shader.reload();
    shader.bind();
    EXPECT_EQ(currentProgram(), static_cast<GLint>(shader.programName()));
    EXPECT_EQ(drawCentre(), (std::vector<int>{0, 255, 0, 255}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Without the setting, a failed reload draws nothing, as a failed first load does.
    file("edited.glsl", "void main() { oops }\n");
    testing::internal::CaptureStderr();
    shader.reload();
    testing::internal::GetCapturedStderr();
    expectDrawsNothingAfterOther(shader);
}

// A file two programs share, broken in one edit: the reload counts both failures
// and prints the compile log once; the next reload explains it again.
TEST_F(ShaderProgramTest, OneReloadExplainsASharedFailureOnce) {
    ShaderProgram first, second, never;
    first.load(run, vertex.c_str(), green.c_str());
    second.load(run, vertex.c_str(), colour.c_str());
    ShaderBuildLog log;
    run.shaderBuildLog = &log;
    file("vert.glsl", "void main() { gl_Position = vec4(1.0) +; }\n");
    std::string missing = dir + "/missing.glsl";
    auto reloadAll = [&] {
        log.beginReload();
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        first.reload();
        second.reload();
        testing::internal::GetCapturedStdout();
        return testing::internal::GetCapturedStderr();
    };
    auto count = [](const std::string& text, const std::string& part) {
        int n = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++n;
        return n;
    };
    std::string err = reloadAll();
    EXPECT_EQ(count(err, "ERROR: Could not compile shader file " + vertex + ":1:\n"), 1) << err;
    EXPECT_EQ(count(err, "ERROR: "), 1) << err;
    EXPECT_EQ(log.failed, 2);
    EXPECT_EQ(log.kept, 2);
    EXPECT_EQ(count(reloadAll(), "ERROR: Could not compile shader file " + vertex), 1);

    // A program that never linked has nothing to keep.
    log.beginReload();
    testing::internal::CaptureStderr();
    never.load(run, vertex.c_str(), missing.c_str());
    err = testing::internal::GetCapturedStderr();
    run.shaderBuildLog = nullptr;
    EXPECT_EQ(log.failed, 1);
    EXPECT_EQ(log.kept, 0);
    EXPECT_EQ(count(err, "ERROR: Could not read shader file " + missing), 1) << err;
}

TEST_F(ShaderProgramTest, DataNamesWithBackslashesAreMapped) {
    std::string vertexName = dir + "\\vert.glsl";
    std::string fragmentName = dir + "\\green.glsl";
    ShaderProgram shader;
    testing::internal::CaptureStderr();
    shader.load(run, vertexName.c_str(), fragmentName.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    shader.bind();
    EXPECT_EQ(drawCentre(), (std::vector<int>{0, 255, 0, 255}));
}

// A load reports to the run it is given, and only to it: its time, and (while the
// run notes them) the files it opened, as live editing watches them; a reload
// reports to the same run.
TEST_F(ShaderProgramTest, LoadReportsToItsOwnRun) {
    RunContext other;
    std::vector<std::string> opened, otherOpened;
    run.openedFiles = &opened;
    other.openedFiles = &otherOpened;
    std::string vertexName = dir + "\\vert.glsl"; // a data name, kept for the reloads
    ShaderProgram shader;
    shader.load(run, vertexName.c_str(), green.c_str());
    EXPECT_EQ(opened, (std::vector<std::string>{vertex, green}));
    EXPECT_GT(run.loadTimes.shaders, 0.0);
    EXPECT_EQ(run.loadTimes.textures + run.loadTimes.models, 0.0);
    EXPECT_TRUE(otherOpened.empty());
    EXPECT_EQ(other.loadTimes.shaders, 0.0);

    opened.clear();
    run.openedFiles = nullptr;
    shader.reload();
    EXPECT_TRUE(opened.empty()) << "noted only while the run notes";
    run.openedFiles = &opened;
    shader.reload();
    EXPECT_EQ(opened, (std::vector<std::string>{vertex, green}));
    EXPECT_TRUE(otherOpened.empty());
    run.openedFiles = nullptr;
}

} // namespace
