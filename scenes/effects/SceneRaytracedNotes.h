#pragma once
#include "scene/Scene.h"
#include "scene/ShaderProgram.h"

// The credits: one full-screen pass of a fragment shader that ray-traces a small
// scene around the credits bitmap, moving with the scene time.
class SceneRaytracedNotes : public Scene {
  public:
    // Runs init and prints "Scene Notes init". A GL context must be current.
    explicit SceneRaytracedNotes(RunContext& run);
    ~SceneRaytracedNotes();
    SceneRaytracedNotes(const SceneRaytracedNotes&) = delete;
    SceneRaytracedNotes& operator=(const SceneRaytracedNotes&) = delete;

    // Every frame on screen: the bitmap on unit 0 with nearest filtering, the
    // uniforms "tex0", "time" (sceneTime), "ScreenWidth", "ScreenHeight", one quad.
    // The music time is not used.
    void render(float time, float sceneTime) override;
    // From the constructor, and from the Enter key: the quad, the shader pair and
    // "textures\credits.bmp". A repeat releases the quad and texture it replaces.
    void init() override;
    // When the scene comes on screen, on resize and on a number key: binds the
    // program, which render relies on.
    void activate() override;
    // The window's adaptive resolution: the credits are traced `side` pixels high
    // (and as wide as the window's shape asks) off screen and stretched over the
    // window; 0, or a side as high as the window, draws on the window directly.
    void setTracedSide(int side) override { tracedSide = side; }

    // Read by the tests.
    GLuint programName() const { return shader.programName(); }
    GLuint textureName() const { return creditsTexture.get(); }

  private:
    void drawPass(int width, int height, float sceneTime);
    void drawReduced(int width, int height, float sceneTime);

    ShaderProgram shader;
    int tracedSide = 0;
    // The off-screen picture of a reduced frame, made when first needed.
    GlFramebuffer reducedFramebuffer;
    GlTexture reducedPicture;
    int reducedWidth = 0, reducedHeight = 0;
    GlTexture creditsTexture;
};
