#include "tools/models/ModelFile.h"
#include "tools/models/MeshRecord.h"

#include "core/ErrorReport.h"

#include <lib3ds/camera.h>
#include <lib3ds/file.h>
#include <lib3ds/light.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <cstdio>

namespace models {

namespace {

void copyName(char* dest, size_t size, const std::string& name) {
    snprintf(dest, size, "%s", name.c_str());
}

void setVec(float* dest, Vec3 v) {
    dest[0] = v[0];
    dest[1] = v[1];
    dest[2] = v[2];
}

void keyEveryFrame(Lib3dsLin3Track* track, int frames, const ModelFile::Track& value) {
    for (int frame = 0; frame < frames; ++frame) {
        Lib3dsLin3Key* key = lib3ds_lin3_key_new();
        key->tcb.frame = frame;
        setVec(key->value, value(frame));
        lib3ds_lin3_track_insert(track, key);
    }
}

void keyEveryFrame(Lib3dsLin1Track* track, int frames, const ModelFile::Scalar& value) {
    for (int frame = 0; frame < frames; ++frame) {
        Lib3dsLin1Key* key = lib3ds_lin1_key_new();
        key->tcb.frame = frame;
        key->value = value(frame);
        lib3ds_lin1_track_insert(track, key);
    }
}

// A value that does not move needs one key.
void keyOnce(Lib3dsLin3Track* track, Vec3 value) {
    keyEveryFrame(track, 1, [value](int) { return value; });
}

} // namespace

ModelFile::ModelFile(const std::string& name, int frames) : frameCount(frames), file(lib3ds_file_new()) {
    copyName(file->name, sizeof file->name, name);
    file->frames = frames;
    file->segment_from = 0;
    file->segment_to = frames;
}

ModelFile::~ModelFile() {
    lib3ds_file_free(file);
}

void ModelFile::material(const std::string& name, const Material& m) {
    Lib3dsMaterial* material = lib3ds_material_new();
    copyName(material->name, sizeof material->name, name);
    for (int i = 0; i < 3; ++i) {
        material->ambient[i] = m.diffuse[i] * 0.2f;
        material->diffuse[i] = m.diffuse[i];
        material->specular[i] = m.specular[i];
    }
    material->shininess = m.shininess;
    material->shin_strength = m.shinStrength;
    if (!m.texture.empty()) {
        copyName(material->texture1_map.name, sizeof material->texture1_map.name, m.texture);
        material->texture1_map.percent = 1.0f;
    }
    if (m.reflection > 0) {
        // lib3ds stores a reflection amount only for a map with a name; the show
        // never loads this bitmap, it only reads the amount.
        copyName(material->reflection_map.name, sizeof material->reflection_map.name,
                 m.texture.empty() ? "marble.bmp" : m.texture);
        material->reflection_map.percent = m.reflection;
    }
    lib3ds_file_insert_material(file, material);
}

Lib3dsNode* ModelFile::addNode(Lib3dsNode* node, const std::string& name) {
    copyName(node->name, sizeof node->name, name);
    node->node_id = nextNodeId++;
    node->parent_id = LIB3DS_NO_PARENT;
    lib3ds_file_insert_node(file, node);
    return node;
}

void ModelFile::mesh(const std::string& name, const Mesh& source, const Motion& motion) {
    if (source.points.size() > 65535) {
        reportError("Could not store mesh %s: %zu points, at most 65535 fit\n", name.c_str(),
                    source.points.size());
        return;
    }
    Lib3dsMesh* m = meshRecord(name, source);
    lib3ds_file_insert_mesh(file, m);
    triangleCount += int(source.faces.size());

    // The node puts the pivot at its position.
    Lib3dsNode* node = addNode(lib3ds_node_new_object(), name);
    const Vec3 pivot = motion.pivot;
    setVec(node->data.object.pivot, pivot);
    if (motion.offset)
        keyEveryFrame(&node->data.object.pos_track, frameCount,
                      [&](int f) { return pivot + motion.offset(f); });
    else
        keyOnce(&node->data.object.pos_track, pivot);
    if (motion.scale)
        keyEveryFrame(&node->data.object.scl_track, frameCount, motion.scale);
    else
        keyOnce(&node->data.object.scl_track, {1, 1, 1});
    if (motion.spin) {
        // 3D Studio stores each rotation key relative to the one before it, and
        // turns by a key's angle clockwise seen from the tip of its axis.
        float previous = 0;
        for (int frame = 0; frame < frameCount; ++frame) {
            Lib3dsQuatKey* key = lib3ds_quat_key_new();
            key->tcb.frame = frame;
            setVec(key->axis, {0, 0, 1});
            float angle = motion.spin(frame);
            key->angle = previous - angle;
            previous = angle;
            lib3ds_quat_track_insert(&node->data.object.rot_track, key);
        }
    }
}

void ModelFile::camera(const std::string& name, const Track& position, const Track& target, const Scalar& fov,
                       const Scalar& roll) {
    Lib3dsCamera* c = lib3ds_camera_new(name.c_str());
    setVec(c->position, position(0));
    setVec(c->target, target(0));
    c->fov = fov(0);
    c->roll = roll ? roll(0) : 0.0f;
    c->near_range = 0;
    c->far_range = 1000;
    lib3ds_file_insert_camera(file, c);

    Lib3dsNode* n = addNode(lib3ds_node_new_camera(), name);
    keyEveryFrame(&n->data.camera.pos_track, frameCount, position);
    keyEveryFrame(&n->data.camera.fov_track, frameCount, fov);
    keyEveryFrame(
        &n->data.camera.roll_track, frameCount, roll ? roll : [](int) { return 0.0f; });
    Lib3dsNode* t = addNode(lib3ds_node_new_target(), name);
    keyEveryFrame(&t->data.target.pos_track, frameCount, target);
}

void ModelFile::omniLight(const std::string& name, const Track& position, const Track& colour,
                          float multiplier) {
    Lib3dsLight* l = lib3ds_light_new(name.c_str());
    setVec(l->position, position(0));
    setVec(l->color, colour(0));
    l->multiplier = multiplier;
    lib3ds_file_insert_light(file, l);

    Lib3dsNode* n = addNode(lib3ds_node_new_light(), name);
    keyEveryFrame(&n->data.light.pos_track, frameCount, position);
    keyEveryFrame(&n->data.light.col_track, frameCount, colour);
}

bool ModelFile::save(const std::string& path) {
    if (incomplete)
        return false; // the missing part was reported when it was added
    if (!lib3ds_file_save(file, path.c_str())) {
        reportError("Could not write 3D Studio file %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace models
