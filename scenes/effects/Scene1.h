#pragma once
#include "scene/Scene.h"
#include "scene/ShaderProgram.h"

// Molten lava crawling under a crust of dirt: one full-screen pass over two bitmaps.
class Scene1 : public Scene {
  public:
    // Runs init and prints "Scene1 init". A GL context must be current.
    Scene1();
    ~Scene1();
    Scene1(const Scene1&) = delete;
    Scene1& operator=(const Scene1&) = delete;

    // Every frame on screen: lava on unit 0 ("tex0"), dirt on unit 1 ("tex1"), the
    // music time and the window size, one quad; unit 1 stays selected.
    void render(float time, float sceneTime) override;
    // From the constructor and the Enter key: quad, "vert1"/"frag1", the dirt and
    // lava bitmaps. A repeat releases the quad and textures it replaces.
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
