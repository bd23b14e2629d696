#include "scenes/effects/SceneBrask1.h"

#include "core/AnimationFrame.h"
#include "core/ErrorReport.h"
#include "core/Studio3dsFile.h"
#include "scene/RunContext.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

double windowAspect(const RunContext& run) {
    return run.screenHeight > 0 && run.screenWidth > 0 ? double(run.screenWidth) / double(run.screenHeight)
                                                       : 1.0;
}

} // namespace

SceneBrask1::SceneBrask1(RunContext& run) : Scene(run) {
    SceneBrask1::init();
    printf("SceneBrask1 init\n");
}

// The owners delete the textures; programs stay, as ShaderProgram never deletes them.
SceneBrask1::~SceneBrask1() = default;

void SceneBrask1::init() {
    shader.load(run, "shaders\\Brask1Vert.glsl", "shaders\\Brask1Frag.glsl");
    // Reports "Could not open 3D Studio file models\test5.3DS: ..." on failure.
    model = Studio3dsFile::open(run.dataPath(kModelName).c_str(), kModelName);
    evaluationPending = true;
    cameraReported = false;
    boxMeasured = false;
}

void SceneBrask1::activate() {
    const GLfloat lightAmbient[] = {1, 1, 1, 0.2f}, lightPosition[] = {5, -15, 0, 1},
                  lightDiffuse[] = {1, 1, 1, 1}, lightSpecular[] = {1, 1, 1, 0.2f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, lightSpecular);
    const GLfloat ambient[] = {0.3f, 0.3f, 0.3f, 1}, diffuse[] = {0.5f, 0.5f, 0.5f, 1},
                  specular[] = {0.6f, 0.6f, 0.6f, 0.2f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    // A shininess of 600 is beyond the 0 to 128 that GL accepts: GL would keep the
    // exponent it has and raise an error, so the call is left out.
    loadMaterialTextures();
    currentMaterial = 0;
    glUseProgram(0);
}

// The k-th textured material is loaded on unit k (drawing binds them on unit 0).
// Materials past the 20 slots get no texture.
void SceneBrask1::loadMaterialTextures() {
    GLint units = 1;
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    int count = model ? model->materialCount() : 0;
    int textured = 0;
    for (int i = 0; i < count; ++i) {
        const Studio3dsMaterial& material = model->materials()[i];
        printf("%s %f %d\n", material.name.c_str(), material.reflectionPercent, material.selfIllum ? 1 : 0);
        if (i >= kMaterialSlots)
            continue;
        if (material.textureMap.empty()) {
            materialTextures[i].reset();
            continue;
        }
        glActiveTexture(GL_TEXTURE0 + std::min(textured, units - 1));
        std::string path = "textures\\" + material.textureMap;
        printf("%s %d\n", path.c_str(), i);
        // On failure the active unit's binding is left alone, so the filters are
        // set only on a texture that was loaded (and is bound).
        if (loadTexture(path.c_str(), &materialTextures[i])) {
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        }
        ++textured;
    }
    for (int i = std::min(count, kMaterialSlots); i < kMaterialSlots; ++i)
        materialTextures[i].reset();
}

int SceneBrask1::animationFrame(float time, int frames, double beatsPerMinute) {
    float beat = AnimationFrame::beatAt(time, beatsPerMinute);
    double count = frames > 0 ? frames : 1;
    double frame = std::fmod(std::trunc(double(beat * float(kFramesPerBeat))), count);
    if (!(frame >= 0)) // a negative time, or one too large to count frames in
        frame = frame < 0 ? frame + count : 0;
    return int(frame);
}

void SceneBrask1::render(float time, float sceneTime) {
    (void)sceneTime;
    if (!model) {
        drawBlack();
        return;
    }
    evaluate(time);
    glActiveTexture(GL_TEXTURE0);
    Brask1Camera view = camera();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(view.fov / 2, windowAspect(run), 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(-90, 1, 0, 0); // 3D Studio's z up becomes GL's y up
    setLights();
    float cameraTransform[4][4];
    cameraMatrix(view.position, view.target, view.roll, cameraTransform);
    glMultMatrixf(&cameraTransform[0][0]);
    drawModel();
}

// The model is evaluated once per animation frame, and once after it was opened.
void SceneBrask1::evaluate(float time) {
    int frame = animationFrame(time, model->frames(), tempo.beatsPerMinute);
    if (frame != lastModelFrame || evaluationPending) {
        model->eval(float(frame));
        lastModelFrame = frame;
        evaluationPending = false;
    }
}

Brask1Camera SceneBrask1::camera() {
    if (model->cameras().empty() && !boxMeasured) {
        modelBox = measureModel();
        boxMeasured = true;
    }
    Brask1Camera view = brask1Camera(*model, modelBox, windowAspect(run));
    if (!cameraReported && view.source == Brask1Camera::kRecord)
        printf("%s: camera %s has no camera or target node; using its own record\n", kModelName,
               model->cameras()[0].name.c_str());
    else if (!cameraReported && view.source == Brask1Camera::kBoundingBox)
        printf("%s: no camera; showing the whole model\n", kModelName);
    cameraReported = true;
    return view;
}

PointBox SceneBrask1::measureModel() const {
    PointBox box;
    std::vector<float> points;
    for (const Studio3dsNode& node : model->nodes()) {
        if (node.kind != Studio3dsNode::kMeshInstance || node.mesh < 0)
            continue;
        const Studio3dsMesh& mesh = model->meshes()[node.mesh];
        float transform[4][4];
        meshTransform(node, mesh, transform);
        points.resize(4 * size_t(mesh.pointCount()));
        transformPoints(mesh, transform, points.data());
        for (size_t i = 0; i < points.size(); i += 4)
            box.add(&points[i]);
    }
    return box;
}

// One GL light per omni-light node, in node order, as far as GL has lights.
// Positions are taken under the turn to z up and before the camera.
void SceneBrask1::setLights() {
    GLint maxLights = 8;
    glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
    int light = 0;
    for (const Studio3dsNode& node : model->nodes()) {
        if (node.kind != Studio3dsNode::kOmnilight)
            continue;
        if (light >= maxLights)
            break;
        const Studio3dsNode* placedNode = model->nodeById(node.id);
        if (!placedNode)
            placedNode = &node;
        // A node whose name matches no light keeps the colour its own track gives.
        const float* colour = node.light >= 0 ? model->lights()[node.light].color : node.color;
        const GLfloat ambient[] = {0, 0, 0, 1}, colour4[] = {colour[0], colour[1], colour[2], 1},
                      position[] = {placedNode->position[0], placedNode->position[1], placedNode->position[2],
                                    1};
        GLenum name = GL_LIGHT0 + light;
        glEnable(name);
        glLightfv(name, GL_AMBIENT, ambient);
        glLightfv(name, GL_DIFFUSE, colour4);
        glLightfv(name, GL_SPECULAR, colour4);
        glLightfv(name, GL_POSITION, position);
        ++light;
    }
}

void SceneBrask1::countFaces() {
    faceCount = model->countFaces();
}

void SceneBrask1::drawModel() {
    countFaces();
    // A mesh shown by several nodes is drawn once for each, so the normals are
    // sized by the faces drawn, which may be more than faceCount.
    size_t facesDrawn = 0;
    for (const Studio3dsNode& node : model->nodes())
        if (node.kind == Studio3dsNode::kMeshInstance && node.mesh >= 0)
            facesDrawn += model->meshes()[node.mesh].faces.size();
    if (normals.size() < 9 * facesDrawn)
        normals.resize(9 * std::max(facesDrawn, size_t(faceCount)));
    int face = 0;
    const std::vector<Studio3dsNode>& nodes = model->nodes();
    for (size_t n = 0; n < nodes.size(); ++n) {
        if (nodes[n].kind != Studio3dsNode::kMeshInstance || nodes[n].mesh < 0)
            continue;
        drawMesh(int(n), face);
        face += int(model->meshes()[nodes[n].mesh].faces.size());
    }
}

// The mesh of top-level node `node`, placed by the node, in runs of faces of one
// material; its normals go to the buffer from face `firstFace` on.
void SceneBrask1::drawMesh(int node, int firstFace) {
    const Studio3dsNode& instance = model->nodes()[node];
    const Studio3dsMesh& mesh = model->meshes()[instance.mesh];
    float transform[4][4];
    meshTransform(instance, mesh, transform);
    uint32_t pointCount = mesh.pointCount(), uvCount = mesh.uvCount();
    placed.resize(4 * size_t(pointCount));
    transformPoints(mesh, transform, placed.data());
    float* faceNormals = normals.data() + 9 * size_t(firstFace);
    model->vertexNormals(instance.mesh, transform, placed.data(), faceNormals);

    glBindTexture(GL_TEXTURE_2D, textureOf(currentMaterial));
    glBegin(GL_TRIANGLES);
    for (const Studio3dsFace& face : mesh.faces) {
        if (face.material != currentMaterial) {
            glEnd();
            bindMaterial(face.material);
            glBegin(GL_TRIANGLES);
        }
        const float* normal = faceNormals;
        faceNormals += 9;
        // A face naming a point the mesh lacks (a damaged file) is left out.
        if (face.index[0] >= pointCount || face.index[1] >= pointCount || face.index[2] >= pointCount)
            continue;
        for (int j = 0; j < 3; ++j) {
            uint32_t index = face.index[j];
            glNormal3f(normal[3 * j], normal[3 * j + 1], normal[3 * j + 2]);
            // A mesh without texture coordinates (or with too few) samples the corner.
            if (index < uvCount)
                glTexCoord2f(mesh.uvs[2 * size_t(index)], mesh.uvs[2 * size_t(index) + 1]);
            else
                glTexCoord2f(0, 0);
            const float* point = &placed[4 * size_t(index)];
            glVertex3f(point[0], point[1], point[2]);
        }
    }
    glEnd();
}

void SceneBrask1::bindMaterial(int material) {
    currentMaterial = material;
    glBindTexture(GL_TEXTURE_2D, textureOf(material)); // render made unit 0 active
}

// No texture for a face without a material, one past the slots or one without a map.
GLuint SceneBrask1::textureOf(int material) const {
    if (material < 0 || material >= kMaterialSlots || !model || material >= model->materialCount())
        return 0;
    return model->materials()[material].textureMap.empty() ? 0 : materialTextures[material].get();
}

void SceneBrask1::drawBlack() {
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glClearColor(0, 0, 0, clear[3]);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
}
