#include "scenes/raytracer/SceneRaytracerPolygons.h"

#include "core/AnimationFrame.h"
#include "core/PrimitiveLayout.h"
#include "core/Studio3dsFile.h"
#include "scene/RunContext.h"
#include "scenes/raytracer/MaterialBitmapPath.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// Texture units of the passes.
constexpr int kHorizontalBlurUnit = 0;
constexpr int kVerticalBlurUnit = 10;
constexpr int kSharpImageUnit = 11;
constexpr int kBlurredImageUnit = 12;

std::string samplerName(int k) {
    return "tex[" + std::to_string(k) + "]";
}

// A material whose bitmap did not load is shown in its own diffuse colour, as if
// untextured, rather than black: its texture becomes one texel of that colour,
// in floats so that the shader samples exactly the record's value.
void fillWithColour(GLuint texture, const float* rgb) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB32F, 1, 1, 0, GL_RGB, GL_FLOAT, rgb);
}

} // namespace

SceneRaytracerPolygons::SceneRaytracerPolygons(RunContext& run, const char* fileName, float dofStrength,
                                               int renderWidth, int renderHeight, int numReflections,
                                               int framesPerBeat, std::shared_ptr<FlattenStaging> staging)
    : Scene(run), framesPerBeat(framesPerBeat), dofStrength(dofStrength), fileName(fileName ? fileName : ""),
      renderWidth(renderWidth), renderHeight(renderHeight), tracedSide(this->renderWidth),
      numReflections(numReflections),
      staging(staging ? std::move(staging) : std::make_shared<FlattenStaging>()) {
    SceneRaytracerPolygons::init();
    printf("Scene poly init\n");
}

// The owners delete the primitive buffer, the targets, the textures and the file.
SceneRaytracerPolygons::~SceneRaytracerPolygons() {
    destroyQuad();
}

void SceneRaytracerPolygons::init() {
    // The Enter key: release what this run replaces before making it again (the
    // quad goes in createQuad; programs stay, see ShaderProgram; the primitive
    // buffer is kept).
    if (initCount > 0)
        releaseFileResources();
    createQuad();
    rayProgram.load(run, "shaders\\RaytracerPolygonsVert.glsl", "shaders\\RaytracerPolygonsFrag.glsl");
    if (dofStrength == 0.0f)
        postProgram.load(run, "shaders\\PassVert.glsl", "shaders\\PassFrag.glsl");
    else
        postProgram.load(run, "shaders\\DoFVert.glsl", "shaders\\DoFFrag.glsl");
    blurHorizontalProgram.load(run, "shaders\\BlurVert.glsl", "shaders\\BlurHorFrag.glsl");
    blurVerticalProgram.load(run, "shaders\\BlurVert.glsl", "shaders\\BlurVertFrag.glsl");
    if (!primitiveBuffer.created())
        primitiveBuffer = PrimitiveBuffer::create();
    printf("%s\n", fileName.c_str());
    {
        LoadTimer timer(run.loadTimes.models);
        modelPath = run.dataPath(fileName.c_str());
        file = Studio3dsFile::open(modelPath.c_str(), fileName.c_str()); // reports a failure
    }
    primitiveBuffer.resetContent();
    writer.reset(fileName);
    headLightReported = false;
    if (file) {
        file->eval((float)initCount);
        faceCount = file->countFaces();
        printf("%s, %d faces\n", file->name(), faceCount);
    }
    ++initCount;
    renderTargets = RenderTargets::create(renderWidth);
    loadMaterialTextures();
    flattenPending = true;
}

void SceneRaytracerPolygons::activate() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (int unit = 0; unit < 16; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    rayProgram.bind();
}

// The j-th textured material gets unit j and sampler tex[j-1]; beyond the
// shader's nine samplers a material gets no unit (the writer reports it).
void SceneRaytracerPolygons::loadMaterialTextures() {
    slots = file ? materialSlots(*file) : MaterialSlots();
    rayProgram.bind();
    for (int m = 0; m < (int)slots.slot.size(); ++m) {
        int unit = slots.unit(m);
        if (unit == 0)
            continue;
        glActiveTexture(GL_TEXTURE0 + unit);
        std::string path = std::string("textures\\") + file->textureMapName(m);
        printf("%s--\n", path.c_str());
        if (!loadTexture(materialBitmapPath(run, file->textureMapName(m), modelPath).c_str(),
                         &textures[unit]))
            fillWithColour(textures[unit].get(), file->materials()[m].diffuse);
        glBindTexture(GL_TEXTURE_2D, textures[unit].get());
        rayProgram.setUniform1i(samplerName(unit - 1).c_str(), unit);
    }
}

void SceneRaytracerPolygons::bindMaterialTextures() {
    for (int unit = 1; unit <= slots.textured; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, textures[unit].get());
    }
}

// All nine samplers: the textured materials' units, then the first unit after them.
void SceneRaytracerPolygons::setMaterialSamplers() {
    for (int k = 0; k < primitive::kMaterialSamplers; ++k)
        rayProgram.setUniform1i(samplerName(k).c_str(), slots.samplers[k]);
}

void SceneRaytracerPolygons::releaseFileResources() {
    renderTargets = RenderTargets();
    for (GlTexture& texture : textures)
        texture.reset();
    file.reset();
}

void SceneRaytracerPolygons::flattenScene() {
    float* texels = staging->texels();
    flattenReport = writer.write(*file, dofStrength, texels);
    runUniforms = meshRunUniformsOf(texels);
    if (flattenReport.lightsOn == 0)
        reportHeadLight();
    primitiveBuffer.upload(texels, flattenReport.changed); // the buffer holds this writer's last frame
    faceCount = file->countFaces();
    const FlattenCamera& camera = flattenReport.camera;
    for (int i = 0; i < 3; ++i) {
        cameraPosition[i] = camera.position[i];
        cameraTarget[i] = camera.target[i];
    }
    cameraRoll = camera.roll;
    cameraFov = camera.fov;
    focusDistance = camera.focusDistance;
    blurSize = camera.blurSize;
    focal = camera.focal;
    rayProgram.bind();
    bindMaterialTextures();
    setMaterialSamplers();
}

// Models seldom carry lights (those belong to a scene), and spotlights are not
// traced: with no light on, the ray shader lights the model from just above the
// camera so that it does not show as a dark silhouette. Said once per load.
void SceneRaytracerPolygons::reportHeadLight() {
    if (headLightReported)
        return;
    headLightReported = true;
    printf("%s: no light is on; lighting the scene from just above the camera\n", fileName.c_str());
    fflush(stdout);
}

void SceneRaytracerPolygons::render(float time, float sceneTime) {
    if (!file) {
        drawBlack();
        return;
    }
    int frame = AnimationFrame::at(sceneTime, framesPerBeat, file->frames(), tempo.beatsPerMinute);
    if (AnimationFrame::needsFlatten(frame, lastEvaluatedFrame, flattenPending)) {
        markPass("flatten");
        file->eval((float)frame);
        flattenScene();
        lastEvaluatedFrame = frame;
        flattenPending = false;
    }
    markPass("ray");
    rayPass(time);
    markPass(blurSize == 0.0f ? "final" : "blur");
    if (blurSize == 0.0f)
        finalPassWithoutBlur();
    else
        blurPasses();
}

void SceneRaytracerPolygons::setTracedSide(int side) {
    tracedSide = side > 0 ? std::min(side, renderWidth) : renderWidth;
}

// The later passes read the traced part only: texture coordinates scaled by it.
float SceneRaytracerPolygons::tracedShare() const {
    return tracedSide == renderWidth ? 1.0f : float(tracedSide) / float(renderWidth);
}

// A pass into one of the targets draws and clears only the traced part: glClear
// ignores the viewport, and clearing the whole of each target every frame would
// cost a window tracing a small part more than the part itself.
void SceneRaytracerPolygons::beginTracedPart() {
    glViewport(0, 0, tracedSide, tracedSide);
    glScissor(0, 0, tracedSide, tracedSide);
    glEnable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

void SceneRaytracerPolygons::rayPass(float time) {
    glBindFramebufferEXT(GL_FRAMEBUFFER, renderTargets.framebuffer(0));
    beginTracedPart();
    rayProgram.bind();
    // activate unbinds every unit, and a scene whose frame another scene already
    // evaluated would otherwise trace without its material textures.
    bindMaterialTextures();
    glActiveTexture(GL_TEXTURE0 + primitive::kBufferTextureUnit);
    glBindTexture(GL_TEXTURE_BUFFER, primitiveBuffer.textureName());
    rayProgram.setUniform1i("tboSampler", primitive::kBufferTextureUnit);
    rayProgram.setUniform1i("tex[0]", slots.samplers[0]);
    rayProgram.setUniform1f("time", time);
    rayProgram.setUniform1i("numrefl", numReflections);
    rayProgram.setUniform1i("meshRuns", runUniforms.count);
    rayProgram.setUniform4fv("runMin", kMaxMeshRuns, runUniforms.min);
    rayProgram.setUniform4fv("runMax", kMaxMeshRuns, runUniforms.max);
    rayProgram.setUniform1f("camx", cameraPosition[0]);
    rayProgram.setUniform1f("camy", cameraPosition[1]);
    rayProgram.setUniform1f("camz", cameraPosition[2]);
    rayProgram.setUniform1f("camtx", cameraTarget[0]);
    rayProgram.setUniform1f("camty", cameraTarget[1]);
    rayProgram.setUniform1f("camtz", cameraTarget[2]);
    rayProgram.setUniform1f("camroll", cameraRoll);
    rayProgram.setUniform1f("fov", cameraFov);
    rayProgram.setUniform1i("ScreenWidth", run.screenWidth);
    rayProgram.setUniform1i("ScreenHeight", run.screenHeight);
    drawQuad();
    glBindFramebufferEXT(GL_FRAMEBUFFER, 0);
}

// The window pass: the clear colour that stays in force for the next frames'
// clears, the sharp image on its unit as "tex0".
void SceneRaytracerPolygons::beginFinalPass() {
    glClearColor(0, 0, 0, 0.5f);
    glViewport(0, 0, run.screenWidth, run.screenHeight);
    postProgram.bind();
    glActiveTexture(GL_TEXTURE0 + kSharpImageUnit);
    glBindTexture(GL_TEXTURE_2D, renderTargets.colorTexture(0));
    postProgram.setUniform1i("tex0", kSharpImageUnit);
    postProgram.setUniform1f("tracedShare", tracedShare());
}

// The window pass's quad covers every pixel of the window, which the frame began by
// clearing, so it draws whatever depth the window holds rather than clearing the
// window's colour and depth again: on a software renderer those two clears cost
// about a tenth of a frame tracing a small square.
void SceneRaytracerPolygons::drawFinalQuad() {
    const GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST);
    glDisable(GL_DEPTH_TEST);
    drawQuad();
    if (depthTest)
        glEnable(GL_DEPTH_TEST);
}

void SceneRaytracerPolygons::finalPassWithoutBlur() {
    beginFinalPass();
    // A depth-of-field program here (a camera without field of view) would mix in
    // whatever unit 0 holds; give it the sharp image as the blurred one too.
    if (dofStrength != 0.0f)
        postProgram.setUniform1i("tex1", kSharpImageUnit);
    drawFinalQuad();
}

// One half of the blur: `source` on `unit` into render target `target`.
void SceneRaytracerPolygons::blurPass(ShaderProgram& program, int target, int unit, GLuint source) {
    glBindFramebufferEXT(GL_FRAMEBUFFER, renderTargets.framebuffer(target));
    beginTracedPart();
    program.bind();
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, source);
    program.setUniform1i("RTScene", unit);
    program.setUniform1f("blurSize", blurSize);
    program.setUniform1f("tracedShare", tracedShare());
    drawQuad();
    glBindFramebufferEXT(GL_FRAMEBUFFER, 0);
}

void SceneRaytracerPolygons::blurPasses() {
    blurPass(blurHorizontalProgram, 1, kHorizontalBlurUnit, renderTargets.colorTexture(0));
    blurPass(blurVerticalProgram, 2, kVerticalBlurUnit, renderTargets.colorTexture(1));
    glBindTexture(GL_TEXTURE_2D, 0);

    markPass("final");
    beginFinalPass();
    glActiveTexture(GL_TEXTURE0 + kBlurredImageUnit);
    glBindTexture(GL_TEXTURE_2D, renderTargets.colorTexture(2));
    postProgram.setUniform1i("tex1", kBlurredImageUnit);
    postProgram.setUniform1f("focus", focusDistance);
    postProgram.setUniform1f("focal", focal);
    drawFinalQuad();
}

// A file that could not be opened: the scene shows black and the show goes on.
void SceneRaytracerPolygons::drawBlack() {
    glBindFramebufferEXT(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, run.screenWidth, run.screenHeight);
    glClearColor(0, 0, 0, 0.5f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
