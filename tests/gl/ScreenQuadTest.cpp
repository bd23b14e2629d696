#include "scene/GlErrors.h"
#include "scene/RunContext.h"
#include "scene/Scene.h"
#include "scene/ShaderProgram.h"
#include "support/GlTest.h"
#include "support/TestPaths.h"

#include <vector>

namespace {

// Opens the quad's names to the tests.
class QuadScene : public Scene {
  public:
    explicit QuadScene(RunContext& run) : Scene(run) {}
    using Scene::quadColorBuffer;
    using Scene::quadPositionBuffer;
    using Scene::quadTexCoordBuffer;
    using Scene::quadVertexArray;
};

GLint attribute(GLuint index, GLenum what) {
    GLint value = -1;
    glGetVertexAttribiv(index, what, &value);
    return value;
}

std::vector<float> bufferFloats(GLuint buffer, int count) {
    std::vector<float> data(count);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, count * sizeof(float), data.data());
    return data;
}

class ScreenQuadTest : public GlTest {
  protected:
    RunContext run;
};

TEST_F(ScreenQuadTest, NamesAreZeroUntilCreatedAndDestroyingThemTouchesNothingElse) {
    GLuint other = 0;
    glGenBuffers(1, &other);
    glBindBuffer(GL_ARRAY_BUFFER, other);
    QuadScene scene(run);
    EXPECT_EQ(scene.quadVertexArray.get(), 0u);
    EXPECT_EQ(scene.quadPositionBuffer.get(), 0u);
    EXPECT_EQ(scene.quadColorBuffer.get(), 0u);
    EXPECT_EQ(scene.quadTexCoordBuffer.get(), 0u);
    scene.destroyQuad();
    EXPECT_TRUE(glIsBuffer(other));
}

TEST_F(ScreenQuadTest, CreateLeavesItsVertexArrayWithThreeAttributesAndTheTexCoordBufferBound) {
    QuadScene scene(run);
    scene.createQuad();
    GLint vertexArray = -1, arrayBuffer = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
    EXPECT_EQ(vertexArray, static_cast<GLint>(scene.quadVertexArray.get()));
    EXPECT_EQ(arrayBuffer, static_cast<GLint>(scene.quadTexCoordBuffer.get()));

    const GLuint buffers[3] = {scene.quadPositionBuffer.get(), scene.quadColorBuffer.get(),
                               scene.quadTexCoordBuffer.get()};
    const GLint components[3] = {4, 4, 2};
    for (GLuint i = 0; i < 3; ++i) {
        EXPECT_EQ(attribute(i, GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_TRUE) << i;
        EXPECT_EQ(attribute(i, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING), static_cast<GLint>(buffers[i])) << i;
        EXPECT_EQ(attribute(i, GL_VERTEX_ATTRIB_ARRAY_SIZE), components[i]) << i;
        EXPECT_EQ(attribute(i, GL_VERTEX_ATTRIB_ARRAY_TYPE), GL_FLOAT) << i;
    }
    EXPECT_EQ(attribute(3, GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_FALSE);
    // Top-left, top-right, bottom-left, bottom-right; the third vertex red like the first.
    EXPECT_EQ(bufferFloats(scene.quadPositionBuffer.get(), 16),
              (std::vector<float>{-1, 1, 0, 1, 1, 1, 0, 1, -1, -1, 0, 1, 1, -1, 0, 1}));
    EXPECT_EQ(bufferFloats(scene.quadColorBuffer.get(), 16),
              (std::vector<float>{1, 0, 0, 1, 0, 1, 0, 1, 1, 0, 0, 1, 0, 0, 1, 1}));
    EXPECT_EQ(bufferFloats(scene.quadTexCoordBuffer.get(), 8), (std::vector<float>{0, 1, 1, 1, 0, 0, 1, 0}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ScreenQuadTest, PendingErrorTriggersNeitherCreateNorDestroyMessage) {
    QuadScene scene(run);
    testing::internal::CaptureStderr();
    glEnable(0xFFFF); // leaves GL_INVALID_ENUM pending
    scene.createQuad();
    GLuint vertexArray = scene.quadVertexArray.get(), texCoordBuffer = scene.quadTexCoordBuffer.get();
    glEnable(0xFFFF);
    scene.destroyQuad();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(glIsVertexArray(vertexArray));
    EXPECT_FALSE(glIsBuffer(texCoordBuffer));
}

TEST_F(ScreenQuadTest, EveryDrawStartsFromTheIdentityMatrix) {
    std::string dir = makeScratchDir("quad");
    ASSERT_TRUE(writeFile(
        dir + "/v.glsl",
        "void main() { gl_Position = vec4((gl_ModelViewMatrix * gl_Vertex).xy * 0.5, 0.0, 1.0); }\n"));
    ASSERT_TRUE(writeFile(dir + "/f.glsl", "void main() { gl_FragColor = vec4(1.0, 1.0, 0.0, 1.0); }\n"));
    ShaderProgram shader;
    shader.load(run, (dir + "/v.glsl").c_str(), (dir + "/f.glsl").c_str());
    shader.bind();
    Scene scene(run);
    auto draw = [&] {
        glClear(GL_COLOR_BUFFER_BIT);
        scene.drawQuad();
        return readFrame(kSize, kSize);
    };
    std::vector<unsigned char> first = draw();
    // Work between passes that moves the current matrix must not shift the quad.
    glTranslatef(0.5f, 0.25f, 0.0f);
    glScalef(0.5f, 0.5f, 1.0f);
    EXPECT_EQ(draw(), first);
    EXPECT_EQ(draw(), first);
    // The quad covers the middle half of the frame, nothing else.
    EXPECT_EQ(pixelAt(first, kSize, kSize / 2, kSize / 2), (std::vector<int>{255, 255, 0, 255}));
    EXPECT_EQ(pixelAt(first, kSize, 1, 1), (std::vector<int>{0, 0, 0, 0}));
}

// A real GL error in a guarded group ends the process with the group's message.
// The context is made inside the statement: the death test runs in a child.
TEST(GuardedGroup, RealGlErrorPrintsTheMessageAndExitsWith255) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            HeadlessContext context;
            if (!context.create(8, 8))
                exit(3);
            discardGlError();
            glBindVertexArray(12345); // never generated: GL_INVALID_OPERATION
            exitOnGlError("Could not create a VBO: %s \n");
            exit(0);
        },
        ::testing::ExitedWithCode(255), "^ERROR: Could not create a VBO: invalid operation \n$");
}

} // namespace
