#include "support/Studio3dsFixtures.h"

#include "tools/models/Lattice.h"

#include <lib3ds/camera.h>
#include <lib3ds/file.h>
#include <lib3ds/light.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

void copyName(char* dest, size_t size, const std::string& name) {
    snprintf(dest, size, "%s", name.c_str());
}

void setVec(float* dest, const Studio3dsFixture::Vec3& v) {
    dest[0] = v[0];
    dest[1] = v[1];
    dest[2] = v[2];
}

void lin3Key(Lib3dsLin3Track* track, int frame, const Studio3dsFixture::Vec3& value) {
    Lib3dsLin3Key* key = lib3ds_lin3_key_new();
    key->tcb.frame = frame;
    setVec(key->value, value);
    lib3ds_lin3_track_insert(track, key);
}

void lin1Key(Lib3dsLin1Track* track, int frame, float value) {
    Lib3dsLin1Key* key = lib3ds_lin1_key_new();
    key->tcb.frame = frame;
    key->value = value;
    lib3ds_lin1_track_insert(track, key);
}

Lib3dsLin3Track* positionTrack(Lib3dsNode* node) {
    switch (node->type) {
    case LIB3DS_OBJECT_NODE:
        return &node->data.object.pos_track;
    case LIB3DS_CAMERA_NODE:
        return &node->data.camera.pos_track;
    case LIB3DS_TARGET_NODE:
        return &node->data.target.pos_track;
    case LIB3DS_LIGHT_NODE:
        return &node->data.light.pos_track;
    case LIB3DS_SPOT_NODE:
        return &node->data.spot.pos_track;
    default:
        return nullptr;
    }
}

} // namespace

Studio3dsFixture::Studio3dsFixture() : file(lib3ds_file_new()) {
    file->frames = 100;
}

Studio3dsFixture::~Studio3dsFixture() {
    lib3ds_file_free(file);
}

void Studio3dsFixture::setFrames(int frames) {
    file->frames = frames;
}

Lib3dsMaterial* Studio3dsFixture::material(const std::string& name, const std::string& textureMap,
                                           float reflectionPercent, Vec3 diffuse) {
    Lib3dsMaterial* m = lib3ds_material_new();
    copyName(m->name, sizeof m->name, name);
    copyName(m->texture1_map.name, sizeof m->texture1_map.name, textureMap);
    if (reflectionPercent >= 0) {
        copyName(m->reflection_map.name, sizeof m->reflection_map.name, "mirror.bmp");
        m->reflection_map.percent = reflectionPercent;
    }
    for (int i = 0; i < 3; ++i)
        m->diffuse[i] = diffuse[i];
    lib3ds_file_insert_material(file, m);
    return m;
}

Lib3dsMesh* Studio3dsFixture::mesh(const std::string& name, const std::vector<Vec3>& points,
                                   const std::vector<Tri>& faces, const std::string& material,
                                   const std::vector<Uv>& texcoords) {
    Lib3dsMesh* m = lib3ds_mesh_new(name.c_str());
    lib3ds_mesh_new_point_list(m, points.size());
    for (size_t i = 0; i < points.size(); ++i)
        setVec(m->pointL[i].pos, points[i]);
    lib3ds_mesh_new_face_list(m, faces.size());
    for (size_t i = 0; i < faces.size(); ++i) {
        for (int j = 0; j < 3; ++j)
            m->faceL[i].points[j] = faces[i][j];
        copyName(m->faceL[i].material, sizeof m->faceL[i].material, material);
        m->faceL[i].smoothing = 1;
    }
    if (!texcoords.empty()) {
        lib3ds_mesh_new_texel_list(m, texcoords.size());
        for (size_t i = 0; i < texcoords.size(); ++i) {
            m->texelL[i][0] = texcoords[i][0];
            m->texelL[i][1] = texcoords[i][1];
        }
    }
    lib3ds_file_insert_mesh(file, m);
    return m;
}

Lib3dsMesh* Studio3dsFixture::mesh(const std::string& name, const models::Mesh& shape,
                                   const std::string& material) {
    std::vector<Tri> faces;
    for (const models::Face& f : shape.faces)
        faces.push_back(f.points);
    return mesh(name, shape.points, faces, material, shape.uvs);
}

Lib3dsMesh* Studio3dsFixture::box(const std::string& name, Vec3 lo, Vec3 hi, const std::string& material) {
    return mesh(name, models::box(lo, hi, material), material);
}

Lib3dsMesh* Studio3dsFixture::sphere(const std::string& name, Vec3 c, float r, const std::string& material) {
    return mesh(name, models::polarSphere(c, r, 6, 8, material), material);
}

Lib3dsMesh* Studio3dsFixture::grid(const std::string& name, int n, const std::string& material, Vec3 o) {
    return mesh(name, models::grid(n, o, material), material);
}

Lib3dsMesh* Studio3dsFixture::triangles(const std::string& name, int count, const std::string& material,
                                        Vec3 o) {
    std::vector<Vec3> p;
    std::vector<Tri> f;
    std::vector<Uv> uv;
    for (int i = 0; i < count; ++i) {
        float x = o[0] + 2.0f * i, z = o[2] + 0.25f * (i % 8);
        p.push_back({x, o[1], z});
        p.push_back({x + 1, o[1], z});
        p.push_back({x, o[1] + 1, z + 0.5f});
        uv.push_back({0, 0});
        uv.push_back({1, 0});
        uv.push_back({0, 1});
        f.push_back({3 * i, 3 * i + 1, 3 * i + 2});
    }
    return mesh(name, p, f, material, uv);
}

Lib3dsNode* Studio3dsFixture::insertNode(Lib3dsNode* n, const std::string& name, int parent) {
    copyName(n->name, sizeof n->name, name);
    n->node_id = nodes.size();
    n->parent_id = parent == kNoParent ? LIB3DS_NO_PARENT : parent;
    nodes.push_back(n);
    lib3ds_file_insert_node(file, n);
    return n;
}

int Studio3dsFixture::meshNode(const std::string& meshName, Vec3 position, int parent) {
    Lib3dsNode* n = insertNode(lib3ds_node_new_object(), meshName, parent);
    lin3Key(&n->data.object.pos_track, 0, position);
    return n->node_id;
}

int Studio3dsFixture::dummyNode(const std::string& instanceName, Vec3 position, int parent) {
    Lib3dsNode* n = insertNode(lib3ds_node_new_object(), "$$$DUMMY", parent);
    copyName(n->data.object.instance, sizeof n->data.object.instance, instanceName);
    lin3Key(&n->data.object.pos_track, 0, position);
    return n->node_id;
}

Lib3dsCamera* Studio3dsFixture::camera(const std::string& name, Vec3 position, Vec3 target, float fov,
                                       float roll, bool withNodes) {
    Lib3dsCamera* c = lib3ds_camera_new(name.c_str());
    setVec(c->position, position);
    setVec(c->target, target);
    c->fov = fov;
    c->roll = roll;
    // Appended rather than inserted: lib3ds would sort the list by name, and the
    // file is written in list order.
    Lib3dsCamera** tail = &file->cameras;
    while (*tail)
        tail = &(*tail)->next;
    *tail = c;
    if (withNodes) {
        Lib3dsNode* n = insertNode(lib3ds_node_new_camera(), name, kNoParent);
        lin3Key(&n->data.camera.pos_track, 0, position);
        lin1Key(&n->data.camera.fov_track, 0, fov);
        lin1Key(&n->data.camera.roll_track, 0, roll);
        Lib3dsNode* t = insertNode(lib3ds_node_new_target(), name, kNoParent);
        lin3Key(&t->data.target.pos_track, 0, target);
    }
    return c;
}

Lib3dsLight* Studio3dsFixture::omniLight(const std::string& name, Vec3 position, Vec3 color, float multiplier,
                                         bool off, bool withNode) {
    Lib3dsLight* l = lib3ds_light_new(name.c_str());
    setVec(l->position, position);
    setVec(l->color, color);
    l->multiplier = multiplier;
    l->off = off;
    lib3ds_file_insert_light(file, l);
    if (withNode) {
        Lib3dsNode* n = insertNode(lib3ds_node_new_light(), name, kNoParent);
        lin3Key(&n->data.light.pos_track, 0, position);
        lin3Key(&n->data.light.col_track, 0, color);
    }
    return l;
}

Lib3dsLight* Studio3dsFixture::spotLight(const std::string& name, Vec3 position, Vec3 target, Vec3 color) {
    Lib3dsLight* l = lib3ds_light_new(name.c_str());
    l->spot_light = LIB3DS_TRUE;
    setVec(l->position, position);
    setVec(l->spot, target);
    setVec(l->color, color);
    l->multiplier = 1.0f;
    l->hot_spot = 30.0f;
    l->fall_off = 45.0f;
    lib3ds_file_insert_light(file, l);
    Lib3dsNode* n = insertNode(lib3ds_node_new_light(), name, kNoParent);
    lin3Key(&n->data.light.pos_track, 0, position);
    lin3Key(&n->data.light.col_track, 0, color);
    lin1Key(&n->data.light.hotspot_track, 0, 30.0f);
    lin1Key(&n->data.light.falloff_track, 0, 45.0f);
    Lib3dsNode* t = insertNode(lib3ds_node_new_spot(), name, kNoParent);
    lin3Key(&t->data.spot.pos_track, 0, target);
    return l;
}

void Studio3dsFixture::positionKey(int nodeId, int frame, Vec3 position) {
    Lib3dsNode* n = node(nodeId);
    Lib3dsLin3Track* track = n ? positionTrack(n) : nullptr;
    if (track)
        lin3Key(track, frame, position);
}

void Studio3dsFixture::rotationKey(int nodeId, int frame, Vec3 axis, float angle) {
    Lib3dsNode* n = node(nodeId);
    if (!n || n->type != LIB3DS_OBJECT_NODE)
        return;
    Lib3dsQuatKey* key = lib3ds_quat_key_new();
    key->tcb.frame = frame;
    setVec(key->axis, axis);
    key->angle = angle;
    lib3ds_quat_track_insert(&n->data.object.rot_track, key);
}

void Studio3dsFixture::saveUnder(int nodeId, int parent) {
    // lib3ds writes each node's parent id as the field holds it, wherever the node
    // hangs in the tree here, and hangs it by that id when it reads the file.
    if (Lib3dsNode* n = node(nodeId))
        n->parent_id = parent;
}

Lib3dsNode* Studio3dsFixture::node(int nodeId) {
    return nodeId >= 0 && nodeId < int(nodes.size()) ? nodes[nodeId] : nullptr;
}

bool Studio3dsFixture::save(const std::string& path) {
    return lib3ds_file_save(file, path.c_str());
}

int Studio3dsFixture::renameInFile(const std::string& path, const std::string& from, const std::string& to) {
    if (from.size() != to.size())
        return -1;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return -1;
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    const std::string old = from + '\0', renamed = to + '\0';
    int count = 0;
    // A name follows the NUL or chunk header before it, so require a non-letter there.
    for (size_t at = bytes.find(old); at != std::string::npos; at = bytes.find(old, at + old.size())) {
        if (at > 0 && isalnum(static_cast<unsigned char>(bytes[at - 1])))
            continue;
        bytes.replace(at, old.size(), renamed);
        ++count;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return out ? count : -1;
}
