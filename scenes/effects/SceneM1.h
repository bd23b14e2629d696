#pragma once
#include "scene/Scene.h"
#include "scene/ShaderProgram.h"

// Liquid metal blobs merging over a grainy, flickering film. Three programs are
// built; only the first draws.
class SceneM1 : public Scene {
  public:
    // Runs init and prints "Scene1 init". A GL context must be current.
    explicit SceneM1(RunContext& run);
    ~SceneM1();
    SceneM1(const SceneM1&) = delete;
    SceneM1& operator=(const SceneM1&) = delete;

    // Every frame on screen: grain on unit 0 ("tex0"), dirt on unit 1 ("tex1"), the
    // music time (also printed as "time: %f") and the window size, one quad through
    // the first program; unit 1 stays selected.
    void render(float time, float sceneTime) override;
    // From the constructor and the Enter key: quad, the three programs ("vertM1"/
    // "fragM1", "vert3"/"frag3", "vertM3"/"fragM3"), the dirt and grain bitmaps.
    void init() override;
    // When the scene comes on screen, on resize and on a number key: binds the first program.
    void activate() override;

    // Read by the tests.
    const ShaderProgram& program(int index = 0) const { return shaders[index]; }
    GLuint textureName(int index) const { return textures[index].get(); }

  private:
    ShaderProgram shaders[3];
    GlTexture textures[2];
};
