#pragma once
#include "scene/Scene.h"
#include "scene/ShaderProgram.h"

// The credits: one full-screen pass of a fragment shader that ray-traces a small
// scene around the credits bitmap, moving with the scene time.
class SceneRaytracedNotes : public Scene {
  public:
    // Runs init and prints "Scene Notes init". A GL context must be current.
    SceneRaytracedNotes();
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

    // Read by the tests.
    GLuint programName() const { return shader.program; }
    GLuint textureName() const { return creditsTexture; }

  private:
    ShaderProgram shader;
    GLuint creditsTexture = 0;
    bool initialised = false;
};
