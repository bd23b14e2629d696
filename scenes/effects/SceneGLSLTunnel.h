#pragma once
#include "scene/Scene.h"
#include "scene/ShaderProgram.h"

// A flight down a tunnel lined with dirt and veined with lava. The tunnel type picks
// the shape: 0 round, 1 square, anything else a ray-marched tunnel with relief walls.
class SceneGLSLTunnel : public Scene {
  public:
    // Stores the type, runs init and prints "Scene1 init". A GL context must be current.
    explicit SceneGLSLTunnel(int tunnelType = 0);
    ~SceneGLSLTunnel();
    SceneGLSLTunnel(const SceneGLSLTunnel&) = delete;
    SceneGLSLTunnel& operator=(const SceneGLSLTunnel&) = delete;

    // Every frame on screen: lava on unit 0 ("tex0"), dirt on unit 1 ("tex1"), the
    // music time and the window size, one quad; unit 1 stays selected.
    void render(float time, float sceneTime) override;
    // From the constructor and the Enter key: quad, the type's shader pair, the dirt
    // and lava bitmaps. The type survives; a repeat releases the quad and textures.
    void init() override;
    // When the scene comes on screen, on resize and on a number key: binds the program.
    void activate() override;

    // Read by the tests.
    const ShaderProgram& program() const { return shader; }
    GLuint textureName(int index) const { return textures[index].get(); }

  private:
    int tunnelType;
    ShaderProgram shader;
    GlTexture textures[2];
};
