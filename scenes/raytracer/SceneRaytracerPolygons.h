#pragma once
#include "core/MaterialSlots.h"
#include "core/MeshRuns.h"
#include "core/PrimitiveWriter.h"
#include "scene/Scene.h"
#include "scene/ShaderProgram.h"
#include "scenes/raytracer/FlattenStaging.h"
#include "scenes/raytracer/PrimitiveBuffer.h"
#include "scenes/raytracer/RenderTargets.h"

#include <memory>
#include <string>

class Studio3dsFile;

// One animated 3D Studio file, ray-traced on the GPU: the CPU evaluates the
// animation and flattens it into the primitive buffer, a fragment shader traces
// it into a square off-screen target, and a pass-through or a blur and
// depth-of-field chain puts it on the window.
class SceneRaytracerPolygons : public Scene {
  public:
    // Runs init and prints "Scene poly init". A GL context must be current.
    // `staging` is the flattening's CPU array, shared by the scenes of a show; without
    // one the scene makes its own.
    SceneRaytracerPolygons(RunContext& run, const char* fileName, float dofStrength, int renderWidth,
                           int renderHeight, int numReflections, int framesPerBeat,
                           std::shared_ptr<FlattenStaging> staging = nullptr);
    ~SceneRaytracerPolygons();
    SceneRaytracerPolygons(const SceneRaytracerPolygons&) = delete;
    SceneRaytracerPolygons& operator=(const SceneRaytracerPolygons&) = delete;

    // Each frame on screen: picks the animation frame from sceneTime, evaluates and
    // flattens when needed, then the ray pass and the final passes on the window.
    void render(float time, float sceneTime) override;
    // From the constructor, and on the scene on screen from the Enter key: loads
    // the programs, opens and evaluates the file at frame initCount, creates the
    // render targets and material textures. A repeat releases what it replaces
    // (the shader programs excepted) and keeps the primitive buffer, which it resets.
    void init() override;
    // When the scene comes on screen, on window resize and on a number key: clears,
    // unbinds the 2D textures of all 16 units and binds the ray program.
    void activate() override;

    // Read by the tests and the benchmarks.
    const Studio3dsFile* openFile() const { return file.get(); }
    GLuint bufferName() const { return primitiveBuffer.bufferName(); }
    GLuint rayProgramName() const { return rayProgram.programName(); }
    GLuint postProgramName() const { return postProgram.programName(); }
    GLuint blurProgramName(bool vertical) const {
        return vertical ? blurVerticalProgram.programName() : blurHorizontalProgram.programName();
    }
    GLuint renderTarget(int index) const { return renderTargets.framebuffer(index); }
    float currentBlurSize() const { return blurSize; }
    // What the last flattening reported (texel ranges, camera, counts), for the tests
    // and the benchmark.
    const FlattenReport& lastFlatten() const { return flattenReport; }
    // What the benchmark names the scene by: its file as given, the reflections traced
    // and the render targets' side.
    const std::string& modelFile() const { return fileName; }
    int reflections() const { return numReflections; }
    int renderSide() const { return renderWidth; }
    float depthOfField() const { return dofStrength; }
    int animationFramesPerBeat() const { return framesPerBeat; }

    // The side traced and blurred this frame: a part of the targets when the window
    // adapts its resolution (clamped to the targets), else all of them.
    void setTracedSide(int side) override;

  private:
    void flattenScene();
    void loadMaterialTextures();
    void reportHeadLight();
    void bindMaterialTextures();
    void setMaterialSamplers();
    void releaseFileResources();
    void beginTracedPart();
    void rayPass(float time);
    float tracedShare() const;
    void beginFinalPass();
    void drawFinalQuad();
    void finalPassWithoutBlur();
    void blurPass(ShaderProgram& program, int target, int unit, GLuint source);
    void blurPasses();
    void drawBlack();

    // Material textures by unit, 1 to 19 (unit 0 carries no material).
    static constexpr int kTextureSlots = 20;

    int framesPerBeat;
    float dofStrength;
    std::string fileName;
    std::string modelPath; // fileName as a path: its folder is searched for bitmaps too
    ShaderProgram rayProgram;
    ShaderProgram postProgram;
    ShaderProgram blurVerticalProgram;
    ShaderProgram blurHorizontalProgram;
    GlTexture textures[kTextureSlots];
    PrimitiveBuffer primitiveBuffer; // made by the first init, kept by the others
    std::unique_ptr<Studio3dsFile> file;
    int faceCount = 0;
    int initCount = 0;
    float cameraPosition[3] = {0, 0, 0};
    float cameraTarget[3] = {0, 0, 0};
    float cameraRoll = 0;
    float cameraFov = 0;
    RenderTargets renderTargets;
    float focusDistance = 0;
    float blurSize = 0;
    float focal = 0;
    int renderWidth;
    int renderHeight; // kept; the targets are renderWidth square
    int tracedSide;   // renderWidth unless the window adapts its resolution
    int numReflections;

    std::shared_ptr<FlattenStaging> staging;
    PrimitiveWriter writer;
    FlattenReport flattenReport;
    MeshRunUniforms runUniforms; // of the last flattening
    MaterialSlots slots;
    // Set by init: the buffer holds the reset content until the next flattening,
    // which must run before the next ray pass whatever the last frame was.
    bool flattenPending = false;
    bool headLightReported = false; // once per load, as the writer reports its problems
    int lastEvaluatedFrame = 0;     // this scene's own, never shared with another scene
};
