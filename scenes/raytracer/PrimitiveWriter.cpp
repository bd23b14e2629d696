#include "scenes/raytracer/PrimitiveWriter.h"

#include "scene/Studio3dsFile.h"
#include "scenes/raytracer/MaterialSlots.h"
#include "scenes/raytracer/PrimitiveLayout.h"

#include <lib3ds/light.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>
#include <lib3ds/vector.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

using namespace primitive;

struct PrimitiveWriter::Cursor {
    float* texels;
    int nextTriangleTexel = kTriangleBase;
    int volumes = 0, lights = 0, meshes = 0, materials = 0;
    int droppedTriangles = 0, droppedVolumes = 0, droppedLights = 0, droppedMeshes = 0, droppedMaterials = 0;
    int groupStart = kTriangleBase;
    Box scene; // union of the mesh boxes, for a default view

    float* texel(int index) { return texels + size_t(index) * kFloatsPerTexel; }
    int triangles() const { return (nextTriangleTexel - kTriangleBase) / kTriangleTexels; }
};

namespace {

void set3(float* t, const float* v) {
    t[0] = v[0];
    t[1] = v[1];
    t[2] = v[2];
}

void set4(float* t, float x, float y, float z, float w) {
    t[0] = x;
    t[1] = y;
    t[2] = z;
    t[3] = w;
}

// Adds [first, first + count) to ascending ranges, merging it with an adjacent run.
void addRange(std::vector<TexelRange>& ranges, int first, int count) {
    if (count <= 0) return;
    if (!ranges.empty() && ranges.back().first + ranges.back().count == first)
        ranges.back().count += count;
    else
        ranges.push_back({first, count});
}

} // namespace

void PrimitiveWriter::Box::reset(float start) {
    for (int i = 0; i < 3; ++i) {
        min[i] = start;
        max[i] = -start;
    }
}

// Strict comparisons: a box that starts at +-10000 keeps 10000 as its minimum on
// an axis where every point lies above it.
void PrimitiveWriter::Box::extend(const float* p) {
    for (int i = 0; i < 3; ++i) {
        if (p[i] < min[i]) min[i] = p[i];
        if (p[i] > max[i]) max[i] = p[i];
    }
}

void PrimitiveWriter::Box::extend(const Box& b) {
    for (int i = 0; i < 3; ++i) {
        if (b.min[i] < min[i]) min[i] = b.min[i];
        if (b.max[i] > max[i]) max[i] = b.max[i];
    }
}

bool PrimitiveWriter::Box::empty() const {
    return !(min[0] <= max[0] && min[1] <= max[1] && min[2] <= max[2]);
}

void PrimitiveWriter::reset(const std::string& name) {
    fileName = name;
    for (bool& r : reported) r = false;
}

void PrimitiveWriter::resetTexels(float* texels) {
    memset(texels, 0, size_t(kTexels) * kFloatsPerTexel * sizeof(float));
    set4(texels + 0, 30.0f, -10.0f, 50.0f, 0.0f);
    set4(texels + 4, 30.0f, -10.0f, 50.0f, 0.0f);
    set4(texels + 8, 1.0f, 0.0f, 0.2f, 1.0f);
}

void PrimitiveWriter::report(Problem problem, const char* format, ...) {
    if (reported[problem]) return;
    reported[problem] = true;
    fprintf(stderr, "ERROR: %s: ", fileName.c_str());
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
}

FlattenReport PrimitiveWriter::write(Studio3dsFile& file, float dofStrength, float* texels) {
    Cursor c;
    c.texels = texels;
    c.scene.reset(kBoxStart);
    file.createNodesForMeshes();
    // Only top-level nodes: children and their meshes are not flattened.
    for (const Lib3dsNode* node = file.firstNode(); node; node = node->next) {
        switch (file.kind(node)) {
        case Studio3dsFile::kMeshInstanceNode: writeMeshNode(file, node, c); break;
        case Studio3dsFile::kOmnilightNode: writeLightNode(file, node, c); break;
        default: break;
        }
    }
    // Header: the light count is the file's, whatever its nodes, within the region.
    int lightCount = file.lightCount() < kLightCapacity ? file.lightCount() : kLightCapacity;
    set4(c.texel(kHeaderTexel), float(c.nextTriangleTexel - kTriangleBase), float(c.volumes), float(lightCount),
         float(c.meshes));
    writeMaterials(file, c);
    reportDropped(c);

    FlattenReport out;
    out.camera = camera(file, dofStrength, c.scene);
    out.triangles = c.triangles();
    out.volumes = c.volumes;
    out.lights = c.lights;
    out.meshes = c.meshes;
    out.materials = c.materials;
    addRange(out.ranges, kHeaderTexel, 1);
    addRange(out.ranges, kTriangleBase, c.nextTriangleTexel - kTriangleBase);
    addRange(out.ranges, kVolumeBase, c.volumes * kVolumeTexels);
    addRange(out.ranges, kMaterialBase, c.materials * kMaterialTexels);
    addRange(out.ranges, kLightBase, c.lights * kLightTexels);
    addRange(out.ranges, kMeshBase, c.meshes * kMeshTexels);
    return out;
}

void PrimitiveWriter::writeMeshNode(Studio3dsFile& file, const Lib3dsNode* node, Cursor& c) {
    int mesh = file.meshOfNode(node);
    if (mesh < 0) return; // a dummy node, or one naming no mesh of the file
    Lib3dsMesh* m = file.mesh(mesh);

    float transform[4][4];
    file.meshTransform(node, mesh, transform);
    positions.resize(3 * size_t(m->points));
    for (unsigned i = 0; i < m->points; ++i) lib3ds_vector_transform(&positions[3 * i], transform, m->pointL[i].pos);

    int firstEntry = c.volumes;
    Box meshBox;
    meshBox.reset(kBoxStart);
    // Classified by name, case-sensitive, box before sphere.
    if (strstr(m->name, "PAABox22")) {
        if (!writeBox(file, mesh, c, meshBox)) return;
    } else if (strstr(m->name, "Sphere")) {
        if (!writeSphere(file, mesh, c, meshBox)) return;
    } else {
        normals.resize(9 * size_t(m->faces));
        file.vertexNormals(mesh, transform, normals.data());
        writeTriangles(file, mesh, c, meshBox);
    }
    if (c.meshes >= kMeshCapacity) {
        ++c.droppedMeshes;
        return;
    }
    float* entry = c.texel(kMeshBase + c.meshes * kMeshTexels);
    set4(entry, meshBox.min[0], meshBox.min[1], meshBox.min[2], float(firstEntry));
    set4(entry + 4, meshBox.max[0], meshBox.max[1], meshBox.max[2], float(c.volumes));
    ++c.meshes;
    if (!meshBox.empty()) c.scene.extend(meshBox);
}

void PrimitiveWriter::writeTriangles(Studio3dsFile& file, int mesh, Cursor& c, Box& meshBox) {
    const Lib3dsMesh* m = file.mesh(mesh);
    const std::vector<int>& materials = file.faceMaterials(mesh);
    const float flag = strstr(m->name, "NoS") ? 0.0f : 1.0f;
    static const float noUv[2] = {0, 0};
    Box group;
    group.reset(kBoxStart);
    c.groupStart = c.nextTriangleTexel;
    for (unsigned f = 0; f < m->faces; ++f) {
        const Lib3dsWord* index = m->faceL[f].points;
        if (index[0] >= m->points || index[1] >= m->points || index[2] >= m->points) {
            report(kFaceOutsidePoints, "mesh %s: face %u names a point beyond its %u; the face is skipped", m->name,
                   f, unsigned(m->points));
            continue;
        }
        if (c.triangles() >= kTriangleCapacity) {
            ++c.droppedTriangles;
            continue;
        }
        const float* p[3];
        const float* uv[3];
        for (int j = 0; j < 3; ++j) {
            p[j] = &positions[3 * index[j]];
            uv[j] = index[j] < m->texels ? m->texelL[index[j]] : noUv;
            group.extend(p[j]);
        }
        const float* n = &normals[9 * f];
        float* t = c.texel(c.nextTriangleTexel);
        set4(t, p[1][0], p[1][1], p[1][2], float(materials[f]));
        set4(t + 4, p[0][0] - p[1][0], p[0][1] - p[1][1], p[0][2] - p[1][2], flag);
        const float edge2[3] = {p[2][0] - p[1][0], p[2][1] - p[1][1], p[2][2] - p[1][2]};
        set3(t + 8, edge2);
        set3(t + 12, n);
        set3(t + 16, n + 3);
        set3(t + 20, n + 6);
        set4(t + 24, uv[0][0], uv[0][1], uv[1][0], uv[1][1]);
        t[28] = uv[2][0];
        t[29] = uv[2][1];
        c.nextTriangleTexel += kTriangleTexels;
        if (c.nextTriangleTexel - c.groupStart > kGroupCloseTexels) closeGroup(c, group, meshBox);
    }
    // Closed once more whatever it holds: a mesh of 26 faces ends with an empty group.
    closeGroup(c, group, meshBox);
}

void PrimitiveWriter::closeGroup(Cursor& c, Box& group, Box& meshBox) {
    meshBox.extend(group);
    if (c.volumes < kVolumeCapacity) {
        float* entry = c.texel(kVolumeBase + c.volumes * kVolumeTexels);
        set4(entry, group.min[0], group.min[1], group.min[2], float(c.groupStart));
        set4(entry + 4, group.max[0], group.max[1], group.max[2], float(c.nextTriangleTexel));
        ++c.volumes;
    } else {
        ++c.droppedVolumes;
    }
    c.groupStart = c.nextTriangleTexel;
    group.reset(kBoxStart);
}

namespace {

// The box of every point that the mesh's faces name (points outside the mesh are
// passed over); false when no face names one.
bool faceBox(const Lib3dsMesh* m, const std::vector<float>& positions, float start, float* min, float* max) {
    bool any = false;
    for (int i = 0; i < 3; ++i) {
        min[i] = start;
        max[i] = -start;
    }
    for (unsigned f = 0; f < m->faces; ++f)
        for (int j = 0; j < 3; ++j) {
            unsigned index = m->faceL[f].points[j];
            if (index >= m->points) continue;
            const float* p = &positions[3 * index];
            for (int i = 0; i < 3; ++i) {
                if (p[i] < min[i]) min[i] = p[i];
                if (p[i] > max[i]) max[i] = p[i];
            }
            any = true;
        }
    return any;
}

} // namespace

bool PrimitiveWriter::writeSphere(Studio3dsFile& file, int mesh, Cursor& c, Box& meshBox) {
    const Lib3dsMesh* m = file.mesh(mesh);
    Box sphere;
    if (!faceBox(m, positions, kSphereStart, sphere.min, sphere.max)) {
        report(kShapeWithoutFaces, "sphere mesh %s has no usable faces; it is skipped", m->name);
        return false;
    }
    meshBox.extend(sphere);
    if (c.volumes >= kVolumeCapacity) {
        ++c.droppedVolumes;
        return true;
    }
    float centre[3];
    for (int i = 0; i < 3; ++i) centre[i] = sphere.min[i] + (sphere.max[i] - sphere.min[i]) / 2;
    float radius = (sphere.max[0] - sphere.min[0]) / 2; // the x extent only
    float* entry = c.texel(kVolumeBase + c.volumes * kVolumeTexels);
    set4(entry, centre[0], centre[1], centre[2], kVolumeSphere);
    set4(entry + 4, radius, 0.0f, 0.0f, float(file.faceMaterials(mesh)[0]));
    ++c.volumes;
    return true;
}

bool PrimitiveWriter::writeBox(Studio3dsFile& file, int mesh, Cursor& c, Box& meshBox) {
    const Lib3dsMesh* m = file.mesh(mesh);
    Box box;
    // The entry takes the second face's material, so a box needs two faces.
    if (m->faces < 2 || !faceBox(m, positions, kBoxStart, box.min, box.max)) {
        report(kShapeWithoutFaces, "box mesh %s has fewer than two faces; it is skipped", m->name);
        return false;
    }
    meshBox.extend(box);
    if (c.volumes >= kVolumeCapacity) {
        ++c.droppedVolumes;
        return true;
    }
    float* entry = c.texel(kVolumeBase + c.volumes * kVolumeTexels);
    set4(entry, box.min[0], box.min[1], box.min[2], kVolumeBox);
    set4(entry + 4, box.max[0], box.max[1], box.max[2], float(file.faceMaterials(mesh)[1]));
    ++c.volumes;
    return true;
}

void PrimitiveWriter::writeLightNode(Studio3dsFile& file, const Lib3dsNode* node, Cursor& c) {
    int light = file.lightByName(node->name);
    if (light < 0) {
        report(kLightWithoutRecord, "light node %s names no light of the file; it is skipped", node->name);
        return;
    }
    // The node found by id, as long as that is an omnilight node too.
    const Lib3dsNode* n = file.nodeById(node->node_id);
    if (!n || file.kind(n) != Studio3dsFile::kOmnilightNode) n = node;
    if (c.lights >= kLightCapacity) {
        ++c.droppedLights;
        return;
    }
    const Lib3dsLight* l = file.light(light);
    float* record = c.texel(kLightBase + c.lights * kLightTexels);
    set3(record, n->data.light.pos);
    record[3] = l->off ? 1.0f : 0.0f;
    set3(record + 4, n->data.light.col);
    record[7] = l->multiplier;
    ++c.lights;
}

void PrimitiveWriter::writeMaterials(Studio3dsFile& file, Cursor& c) {
    MaterialSlots slots = materialSlots(file);
    if (slots.beyondSamplers > 0)
        report(kTexturesBeyondSamplers, "%d textured materials beyond the ninth are shown without texture",
               slots.beyondSamplers);
    for (int i = 0; i < file.materialCount(); ++i) {
        if (i >= kMaterialCapacity) {
            ++c.droppedMaterials;
            continue;
        }
        const Lib3dsMaterial* m = file.material(i);
        float* record = c.texel(kMaterialBase + i * kMaterialTexels);
        set4(record, m->diffuse[0], m->diffuse[1], m->diffuse[2], m->shin_strength);
        set4(record + 4, m->specular[0], m->specular[1], m->specular[2], m->shininess);
        set4(record + 8, m->reflection_map.percent, 0.0f, 0.0f, float(slots.slot[i]));
        ++c.materials;
    }
}

void PrimitiveWriter::reportDropped(const Cursor& c) {
    if (c.droppedTriangles)
        report(kTrianglesFull, "%d triangles beyond the buffer's %d were not written", c.droppedTriangles,
               kTriangleCapacity);
    if (c.droppedVolumes)
        report(kVolumesFull, "%d bounding volumes beyond the buffer's %d were not written", c.droppedVolumes,
               kVolumeCapacity);
    if (c.droppedMaterials)
        report(kMaterialsFull, "%d materials beyond the buffer's %d were not written", c.droppedMaterials,
               kMaterialCapacity);
    if (c.droppedLights)
        report(kLightsFull, "%d lights beyond the buffer's %d were not written", c.droppedLights, kLightCapacity);
    if (c.droppedMeshes)
        report(kMeshesFull, "%d meshes beyond the buffer's %d were not written", c.droppedMeshes, kMeshCapacity);
}
