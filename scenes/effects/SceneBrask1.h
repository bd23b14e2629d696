#pragma once
#include "scene/Scene.h"
#include "scene/ShaderProgram.h"
#include "scenes/effects/Brask1Camera.h"

#include <memory>
#include <vector>

class Studio3dsFile;

// The animated 3D Studio model "models\test5.3DS" through the fixed-function
// pipeline: the keyframes run at 16 frames per beat of the music time, the view is
// the file's first camera, and every top-level mesh-instance node is drawn as
// immediate-mode triangles with its material's texture. GL lighting stays off, so
// the lights and material set here are stored state only.
class SceneBrask1 : public Scene {
  public:
    static constexpr int kMaterialSlots = 20;
    static constexpr const char* kModelName = "models\\test5.3DS";

    // Runs init and prints "SceneBrask1 init". A GL context must be current.
    explicit SceneBrask1(RunContext& run);
    ~SceneBrask1();
    SceneBrask1(const SceneBrask1&) = delete;
    SceneBrask1& operator=(const SceneBrask1&) = delete;

    // Every frame on screen: evaluates the animation when its frame changed, sets
    // the projection, view and lights, and draws the model; a model that could not
    // be opened gives a black frame. Only the music time is used.
    void render(float time, float sceneTime) override;
    // From the constructor and the Enter key: the (unused) shader pair and the
    // model file, which replaces the one opened before.
    void init() override;
    // When the scene comes on screen, on resize and on a number key: light and
    // material defaults, the material textures loaded anew (releasing the ones
    // they replace) with a line per material, and no program in use.
    void activate() override;

    // The animation frame shown at music time `time` (seconds): kFramesPerBeat per
    // beat of AnimationFrame::beatAt (at the show's tempo), modulo the frame count
    // (a count below 1 counts as 1).
    static int animationFrame(float time, int frames, double beatsPerMinute = kBeatsPerMinute);
    static constexpr int kFramesPerBeat = 16;

    // Read by the tests.
    const Studio3dsFile* modelFile() const { return model.get(); }
    GLuint materialTexture(int material) const { return materialTextures[material].get(); }
    GLuint programName() const { return shader.programName(); }

  private:
    void countFaces();
    void drawModel();
    void loadMaterialTextures();
    void evaluate(float time);
    Brask1Camera camera();
    PointBox measureModel() const;
    void setLights();
    void drawMesh(int node, int firstFace);
    void bindMaterial(int material);
    GLuint textureOf(int material) const;
    void drawBlack();

    ShaderProgram shader;
    GlTexture materialTextures[kMaterialSlots];
    int currentMaterial = 0;
    std::unique_ptr<Studio3dsFile> model;
    int faceCount = 0;
    std::vector<float> normals; // 9 floats a face drawn
    std::vector<float> placed;  // the points of the mesh being drawn, 4 floats each

    // Each scene keeps its own: a shared one would leave a newly opened model (or
    // a second scene's) unevaluated until the frame number happens to change.
    int lastModelFrame = 0;
    bool evaluationPending = true;
    bool cameraReported = false; // the camera fallback is reported once per model
    bool boxMeasured = false;
    PointBox modelBox; // the model at its first frame drawn, for a file without a camera
};
