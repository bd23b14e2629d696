#pragma once
#include "scene/Scene.h"
#include "scene/ShaderProgram.h"

// A ray-traced display panel over a mirror floor, showing one of two bitmaps with
// crisp pixels; the bitmap changes every 4 beats.
class SceneRaytracedInfo : public Scene {
  public:
    // Runs init and prints "Scene1 init". A GL context must be current.
    SceneRaytracedInfo();
    ~SceneRaytracedInfo();
    SceneRaytracedInfo(const SceneRaytracedInfo&) = delete;
    SceneRaytracedInfo& operator=(const SceneRaytracedInfo&) = delete;

    // Every frame on screen: the bitmap of the beat on unit 0 ("tex0") with nearest
    // filtering, the music time and the window size, one quad; unit 0 stays selected.
    void render(float time, float sceneTime) override;
    // From the constructor and the Enter key: quad, the shader pair, the code and
    // voxel bitmaps. A repeat releases the quad and textures it replaces.
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
