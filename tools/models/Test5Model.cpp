#include "tools/models/Test5Model.h"

#include "tools/models/Lattice.h"
#include "tools/models/MeshRecord.h"

#include <lib3ds/camera.h>
#include <lib3ds/file.h>
#include <lib3ds/light.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <cmath>
#include <cstdio>

namespace models {

namespace {

constexpr float kTau = 6.28318530717958647692f;
using models::Mesh;
using models::Vec3;

// lib3ds keeps materials and meshes sorted by name, so the letters fix their order.
struct MaterialRecipe {
    const char* name;
    const char* bitmap;
};
constexpr MaterialRecipe kMaterials[] = {
    {"a_checker", "checker.bmp"}, {"b_marble", "marble.bmp"}, {"c_brass", "brass.bmp"},
    {"d_brushed", "brushed.bmp"}, {"e_lava", "lava.bmp"},     {"f_wood", "wood.bmp"},
    {"g_stripes", "stripes.bmp"}, {"h_grid", "grid.bmp"},
};

class Builder {
  public:
    explicit Builder(Lib3dsFile* file) : file(file) {}

    void material(const MaterialRecipe& recipe) {
        Lib3dsMaterial* m = lib3ds_material_new();
        snprintf(m->name, sizeof m->name, "%s", recipe.name);
        snprintf(m->texture1_map.name, sizeof m->texture1_map.name, "%s", recipe.bitmap);
        m->texture1_map.percent = 1.0f;
        for (int i = 0; i < 3; ++i) {
            m->ambient[i] = 0.2f;
            m->diffuse[i] = 0.8f;
            m->specular[i] = 0.5f;
        }
        lib3ds_file_insert_material(file, m);
    }

    void mesh(const char* name, const Mesh& shape) {
        Lib3dsMesh* m = models::meshRecord(name, shape);
        lib3ds_file_insert_mesh(file, m);
    }

    // A top-level node; its id counts from 0 in the order of creation.
    Lib3dsNode* node(Lib3dsNode* n, const char* name) {
        snprintf(n->name, sizeof n->name, "%s", name);
        n->node_id = nextId++;
        n->parent_id = LIB3DS_NO_PARENT;
        lib3ds_file_insert_node(file, n);
        return n;
    }

    // A mesh-instance node of mesh `name` (an instance carries its mesh's name).
    Lib3dsNode* instance(const char* name, Vec3 position) {
        Lib3dsNode* n = node(lib3ds_node_new_object(), name);
        positionKey(&n->data.object.pos_track, 0, position);
        return n;
    }

    static void positionKey(Lib3dsLin3Track* track, int frame, Vec3 value) {
        Lib3dsLin3Key* key = lib3ds_lin3_key_new();
        key->tcb.frame = frame;
        for (int i = 0; i < 3; ++i)
            key->value[i] = value[i];
        lib3ds_lin3_track_insert(track, key);
    }

    static void scalarKey(Lib3dsLin1Track* track, int frame, float value) {
        Lib3dsLin1Key* key = lib3ds_lin1_key_new();
        key->tcb.frame = frame;
        key->value = value;
        lib3ds_lin1_track_insert(track, key);
    }

    // Turns about z, `turns` times over the animation (negative: the other way), as
    // keys each relative to the one before.
    static void spin(Lib3dsNode* n, float turns) {
        const int steps = 32;
        for (int i = 0; i <= steps; ++i) {
            Lib3dsQuatKey* key = lib3ds_quat_key_new();
            key->tcb.frame = kTest5Frames * i / steps;
            key->axis[2] = 1.0f;
            key->angle = i == 0 ? 0.0f : turns * kTau / steps;
            lib3ds_quat_track_insert(&n->data.object.rot_track, key);
        }
    }

  private:
    Lib3dsFile* file;
    int nextId = 0;
};

Mesh turnedQuarter(Mesh shape) {
    for (auto& p : shape.points)
        p = {-p[1], p[0], p[2]};
    return shape;
}

void addMeshes(Builder& b) {
    using namespace models;
    b.mesh("floor", tiledFloor(44, 22, 4, "a_checker"));
    b.mesh("knob", latticeSphere(1.1f, 24, 12, "b_marble"));
    b.mesh("lava_core", latticeSphere(1.2f, 32, 16, "e_lava"));
    b.mesh("orb", latticeSphere(0.7f, 24, 12, "e_lava"));
    b.mesh("pedestal", cylinder(3.2f, 1.6f, 48, {3, 1}, "b_marble"));
    b.mesh("pillar", cylinder(0.8f, 7, 24, {2, 3}, "f_wood"));
    b.mesh("ring_inner", turnedQuarter(standingTorus(2.1f, 0.35f, 48, 12, {6, 1}, "d_brushed")));
    b.mesh("ring_outer", standingTorus(3.0f, 0.45f, 64, 16, {8, 1}, "c_brass"));
    b.mesh("stripes", annulus(4.2f, 6.2f, 64, 4, "g_stripes"));
    b.mesh("wall", cylinder(22, 16, 64, {16, 4}, "h_grid", true));
}

constexpr float kCentreHeight = 5.2f;

void addNodes(Builder& b) {
    b.instance("floor", {0, 0, 0});
    b.instance("wall", {0, 0, 0});
    b.instance("stripes", {0, 0, 0.02f});
    b.instance("pedestal", {0, 0, 0});
    b.instance("lava_core", {0, 0, kCentreHeight});
    Builder::spin(b.instance("ring_outer", {0, 0, kCentreHeight}), 1);
    Builder::spin(b.instance("ring_inner", {0, 0, kCentreHeight}), -2);
    // One pillar mesh and one knob mesh, each shown four times.
    for (int corner = 0; corner < 4; ++corner) {
        float x = corner & 1 ? 10.0f : -10.0f, y = corner & 2 ? 10.0f : -10.0f;
        b.instance("pillar", {x, y, 0});
        b.instance("knob", {x, y, 8.1f});
    }
    // Three orbs circling the rings twice, bobbing up and down.
    for (int orb = 0; orb < 3; ++orb) {
        Lib3dsNode* n = b.node(lib3ds_node_new_object(), "orb");
        const int keys = 64;
        for (int i = 0; i <= keys; ++i) {
            float a = kTau * (2.0f * i / keys + orb / 3.0f);
            float bob = 1.0f * std::sin(kTau * (3.0f * i / keys + orb / 3.0f));
            Builder::positionKey(&n->data.object.pos_track, kTest5Frames * i / keys,
                                 {6.5f * std::cos(a), 6.5f * std::sin(a), 4.0f + bob});
        }
    }
}

void addCamera(Lib3dsFile* file, Builder& b) {
    Lib3dsCamera* camera = lib3ds_camera_new("orbit_cam");
    const Vec3 start = {0, -13, 7}, target = {0, 0, 4.0f};
    for (int i = 0; i < 3; ++i) {
        camera->position[i] = start[i];
        camera->target[i] = target[i];
    }
    camera->fov = 90;
    lib3ds_file_insert_camera(file, camera);

    Lib3dsNode* n = b.node(lib3ds_node_new_camera(), "orbit_cam");
    const int keys = 32;
    for (int i = 0; i <= keys; ++i) {
        float a = kTau * i / keys - kTau / 4; // from -y, anticlockwise
        float height = 7.0f + 1.5f * std::sin(2 * kTau * i / keys);
        Builder::positionKey(&n->data.camera.pos_track, kTest5Frames * i / keys,
                             {13 * std::cos(a), 13 * std::sin(a), height});
    }
    Builder::scalarKey(&n->data.camera.fov_track, 0, camera->fov);
    Builder::scalarKey(&n->data.camera.roll_track, 0, 0);
    Lib3dsNode* t = b.node(lib3ds_node_new_target(), "orbit_cam");
    Builder::positionKey(&t->data.target.pos_track, 0, target);
}

void addLight(Lib3dsFile* file, Builder& b, const char* name, Vec3 position, Vec3 colour) {
    Lib3dsLight* light = lib3ds_light_new(name);
    for (int i = 0; i < 3; ++i) {
        light->position[i] = position[i];
        light->color[i] = colour[i];
    }
    light->multiplier = 1.0f;
    lib3ds_file_insert_light(file, light);
    Lib3dsNode* n = b.node(lib3ds_node_new_light(), name);
    Builder::positionKey(&n->data.light.pos_track, 0, position);
    Builder::positionKey(&n->data.light.col_track, 0, colour);
}

} // namespace

Lib3dsFile* buildTest5Model() {
    Lib3dsFile* file = lib3ds_file_new();
    file->frames = kTest5Frames;
    file->segment_from = 0;
    file->segment_to = kTest5Frames;
    Builder b(file);
    for (const MaterialRecipe& recipe : kMaterials)
        b.material(recipe);
    addMeshes(b);
    addNodes(b);
    addCamera(file, b);
    addLight(file, b, "lamp_cool", {-12, -8, 14}, {0.7f, 0.8f, 1.0f});
    addLight(file, b, "lamp_warm", {12, 6, 10}, {1.0f, 0.75f, 0.5f});
    return file;
}

} // namespace models
