#include "scene/HeadlessContext.h"
#include "scene/RunContext.h"
#include "scene/Scene.h"
#include "scene/ShaderProgram.h"
#include "support/GlTest.h"
#include "support/TestPaths.h"

#include <string>

namespace {

// What a window would show: a frame drawn to framebuffer 0 reads back, at the
// surface's size, with the colours drawn.
TEST(HeadlessContext, FrameDrawnToFramebufferZeroReadsBack) {
    const int width = 24, height = 12;
    HeadlessContext context;
    RunContext run;
    ASSERT_TRUE(context.create(width, height));
    EXPECT_TRUE(std::string(context.platform()) == "device" ||
                std::string(context.platform()) == "surfaceless");

    GLint profile = 0, framebuffer = -1, viewport[4] = {};
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_TRUE(profile & GL_CONTEXT_COMPATIBILITY_PROFILE_BIT);
    EXPECT_EQ(framebuffer, 0);
    EXPECT_EQ(viewport[2], width);
    EXPECT_EQ(viewport[3], height);

    // Blue background, the left half painted green by a full-screen pass.
    std::string dir = makeScratchDir("headless");
    ASSERT_TRUE(writeFile(dir + "/v.glsl", "void main() { gl_Position = vec4(gl_Vertex.xy, 0.0, 1.0); }\n"));
    ASSERT_TRUE(writeFile(dir + "/f.glsl", "void main() {\n"
                                           "  if (gl_FragCoord.x > 12.0) discard;\n"
                                           "  gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0);\n"
                                           "}\n"));
    ShaderProgram shader;
    shader.load(run, (dir + "/v.glsl").c_str(), (dir + "/f.glsl").c_str());
    shader.bind();
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    Scene(run).drawQuad();
    context.swap();
    std::vector<unsigned char> frame = readFrame(width, height);
    EXPECT_EQ(pixelAt(frame, width, 0, 0), (std::vector<int>{0, 255, 0, 255}));
    EXPECT_EQ(pixelAt(frame, width, 11, height - 1), (std::vector<int>{0, 255, 0, 255}));
    EXPECT_EQ(pixelAt(frame, width, 12, 0), (std::vector<int>{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(frame, width, width - 1, height - 1), (std::vector<int>{0, 0, 255, 255}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
