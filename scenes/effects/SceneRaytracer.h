#pragma once
#include "scene/Scene.h"
#include "scene/ShaderProgram.h"

// Mirror spheres bouncing over a tiled floor, ray-traced in one full-screen pass;
// the floor's tiles change on every beat.
class SceneRaytracer : public Scene {
  public:
    // Runs init and prints "Scene1 init". A GL context must be current.
    SceneRaytracer();
    ~SceneRaytracer();
    SceneRaytracer(const SceneRaytracer&) = delete;
    SceneRaytracer& operator=(const SceneRaytracer&) = delete;

    // Every frame on screen: the tiles of the beat on unit 0 ("tex0"), linear
    // filtered, the music time and the window size, one quad; unit 0 stays selected.
    void render(float time, float sceneTime) override;
    // From the constructor and the Enter key: quad, the shader pair, the two tile
    // bitmaps. A repeat releases the quad and textures it replaces.
    void init() override;
    // When the scene comes on screen, on resize and on a number key: binds the program.
    void activate() override;

    // Read by the tests.
    const ShaderProgram& program() const { return shader; }
    GLuint textureName(int index) const { return textures[index].get(); }

  private:
    ShaderProgram shader;
    GlTexture textures[2];
};
