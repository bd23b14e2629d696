#pragma once
#include "scene/Scene.h"
#include "scene/ShaderProgram.h"
#include "scenes/effects/EffectPasses.h"

// What the full-screen effects over two bitmaps share: one program, two bitmaps
// and the quad, built by init from the files a subclass names, and the program
// bound by activate. A subclass says in render how the bitmaps are drawn
// (EffectPasses.h), so an effect is its files, its render and its init line.
class TwoBitmapEffect : public Scene {
  public:
    ~TwoBitmapEffect() override;
    TwoBitmapEffect(const TwoBitmapEffect&) = delete;
    TwoBitmapEffect& operator=(const TwoBitmapEffect&) = delete;

    // From the subclass's constructor and the Enter key: the quad, the shader pair,
    // the first bitmap into textures[0] and the second into textures[1]. A repeat
    // releases the quad and textures it replaces.
    void init() override;
    // When the scene comes on screen, on resize and on a number key: binds the program.
    void activate() override;

    // Read by the tests.
    const ShaderProgram& program() const { return shader; }
    GLuint textureName(int index) const { return textures[index].get(); }

  protected:
    // The names must outlive the scene (string literals do). Builds nothing: the
    // subclass's constructor runs init.
    TwoBitmapEffect(RunContext& run, const ShaderFiles& files, const char* firstBitmap,
                    const char* secondBitmap)
        : Scene(run), files(files), firstBitmap(firstBitmap), secondBitmap(secondBitmap) {}

    ShaderProgram shader;
    GlTexture textures[2];

  private:
    ShaderFiles files;
    const char* firstBitmap;
    const char* secondBitmap;
};
