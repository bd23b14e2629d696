#pragma once
#include "scene/Scene.h"
#include "scene/ShaderProgram.h"

// A cube that swells and shrinks with the music time, ray-traced by a fragment
// shader from a buffer texture the CPU rewrites every frame.
class SceneRaytracedCubes : public Scene {
  public:
    // Runs init and prints "Scene1 init". A GL context must be current.
    explicit SceneRaytracedCubes(RunContext& run);
    // Deletes the quad, the cube buffer and its texture.
    ~SceneRaytracedCubes();
    SceneRaytracedCubes(const SceneRaytracedCubes&) = delete;
    SceneRaytracedCubes& operator=(const SceneRaytracedCubes&) = delete;

    // Every frame on screen: rewrites the cube buffer for the music time, puts its
    // texture on unit 0's buffer target ("tex0"), sets the time and window size and
    // draws one quad.
    void render(float time, float sceneTime) override;
    // From the constructor and the Enter key: quad and shader pair; the cube buffer
    // only the first time, later runs keep it (names and storage).
    void init() override;
    // When the scene comes on screen, on resize and on a number key: binds the program.
    void activate() override;

    // Read by the tests.
    const ShaderProgram& program() const { return shader; }
    GLuint bufferName() const { return cubeBuffer.get(); }
    GLuint bufferTextureName() const { return cubeBufferTexture.get(); }

  private:
    void createCubeBuffer();
    void updateCubeBuffer(float size);
    void releaseCubeBuffer();

    ShaderProgram shader;
    GlTexture cubeBufferTexture;
    GlBuffer cubeBuffer;
    bool cubeBufferCreated = false;
    // A mapping failure is reported once, not every frame.
    bool mapFailureReported = false;
};
