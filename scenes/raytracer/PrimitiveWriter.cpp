#include "scenes/raytracer/PrimitiveWriter.h"

#include "scene/ErrorReport.h"
#include "scene/Studio3dsFile.h"
#include "scenes/raytracer/MaterialSlots.h"
#include "scenes/raytracer/PrimitiveLayout.h"

#include <lib3ds/light.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

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
    size_t triangleNodes = 0; // triangle-mesh nodes walked so far
    Box scene;                // union of the mesh boxes, for a default view

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

// Four floats handled at once (GCC vector extension): the triangle loop is most of
// a flattening, and a texel is one such vector.
typedef float Float4 __attribute__((vector_size(16)));

Float4 load4(const float* p) {
    Float4 v;
    memcpy(&v, p, sizeof v);
    return v;
}

// Stores the first n lanes; the others are components a record leaves unwritten.
template <size_t n> void store(float* t, Float4 v) {
    memcpy(t, &v, n * sizeof(float));
}

// Adds [first, first + count) to ascending ranges, merging it with an adjacent run.
void addRange(std::vector<TexelRange>& ranges, int first, int count) {
    if (count <= 0)
        return;
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
        min[i] = p[i] < min[i] ? p[i] : min[i];
        max[i] = p[i] > max[i] ? p[i] : max[i];
    }
}

void PrimitiveWriter::Box::extend(const Box& b) {
    for (int i = 0; i < 3; ++i) {
        if (b.min[i] < min[i])
            min[i] = b.min[i];
        if (b.max[i] > max[i])
            max[i] = b.max[i];
    }
}

bool PrimitiveWriter::Box::empty() const {
    return !(min[0] <= max[0] && min[1] <= max[1] && min[2] <= max[2]);
}

void PrimitiveWriter::reset(const std::string& name) {
    fileName = name;
    for (bool& r : reported)
        r = false;
    nodeNormals.clear();
}

void PrimitiveWriter::resetTexels(float* texels) {
    memset(texels, 0, size_t(kTexels) * kFloatsPerTexel * sizeof(float));
    set4(texels + 0, 30.0f, -10.0f, 50.0f, 0.0f);
    set4(texels + 4, 30.0f, -10.0f, 50.0f, 0.0f);
    set4(texels + 8, 1.0f, 0.0f, 0.2f, 1.0f);
}

void PrimitiveWriter::report(Problem problem, const char* format, ...) {
    if (reported[problem])
        return;
    reported[problem] = true;
    char message[512];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    reportError("%s: %s\n", fileName.c_str(), message);
}

FlattenReport PrimitiveWriter::write(Studio3dsFile& file, float dofStrength, float* texels) {
    Cursor c;
    c.texels = texels;
    c.scene.reset(kBoxStart);
    file.createNodesForMeshes();
    // Only top-level nodes: children and their meshes are not flattened.
    for (const Lib3dsNode* node = file.firstNode(); node; node = node->next) {
        switch (file.kind(node)) {
        case Studio3dsFile::kMeshInstanceNode:
            writeMeshNode(file, node, c);
            break;
        case Studio3dsFile::kOmnilightNode:
            writeLightNode(file, node, c);
            break;
        default:
            break;
        }
    }
    // Header: the light count is the file's, whatever its nodes, within the region.
    int lightCount = file.lightCount() < kLightCapacity ? file.lightCount() : kLightCapacity;
    set4(c.texel(kHeaderTexel), float(c.nextTriangleTexel - kTriangleBase), float(c.volumes),
         float(lightCount), float(c.meshes));
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
    if (mesh < 0)
        return; // a dummy node, or one naming no mesh of the file
    Lib3dsMesh* m = file.mesh(mesh);

    float transform[4][4];
    file.meshTransform(node, mesh, transform);
    positions.resize(4 * size_t(m->points));
    file.transformPoints(mesh, transform, positions.data());

    int firstEntry = c.volumes;
    Box meshBox;
    meshBox.reset(kBoxStart);
    // Classified by name, case-sensitive, box before sphere.
    if (strstr(m->name, "PAABox22")) {
        if (!writeBox(file, mesh, c, meshBox))
            return;
    } else if (strstr(m->name, "Sphere")) {
        if (!writeSphere(file, mesh, c, meshBox))
            return;
    } else {
        writeTriangles(file, mesh, normalsFor(file, mesh, transform, c), c, meshBox);
    }
    if (c.meshes >= kMeshCapacity) {
        ++c.droppedMeshes;
        return;
    }
    float* entry = c.texel(kMeshBase + c.meshes * kMeshTexels);
    set4(entry, meshBox.min[0], meshBox.min[1], meshBox.min[2], float(firstEntry));
    set4(entry + 4, meshBox.max[0], meshBox.max[1], meshBox.max[2], float(c.volumes));
    ++c.meshes;
    if (!meshBox.empty())
        c.scene.extend(meshBox);
}

const float* PrimitiveWriter::normalsFor(Studio3dsFile& file, int mesh, const float transform[4][4],
                                         Cursor& c) {
    if (nodeNormals.size() <= c.triangleNodes)
        nodeNormals.resize(c.triangleNodes + 1);
    NodeNormals& cached = nodeNormals[c.triangleNodes++];
    const Lib3dsMesh* m = file.mesh(mesh);
    float linear[9];
    for (int i = 0; i < 9; ++i)
        linear[i] = transform[i / 3][i % 3];
    if (cached.mesh != m || cached.normals.size() != 9 * size_t(m->faces) ||
        memcmp(cached.linear, linear, sizeof linear)) {
        cached.mesh = m;
        memcpy(cached.linear, linear, sizeof linear);
        cached.normals.resize(9 * size_t(m->faces));
        file.vertexNormals(mesh, transform, cached.normals.data());
    }
    return cached.normals.data();
}

namespace {

// One 8-texel triangle record from points of 4 floats.
inline void writeTriangleRecord(float* __restrict t, Float4 p0, Float4 p1, Float4 p2,
                                const float* __restrict n, const float* __restrict uv0,
                                const float* __restrict uv1, const float* __restrict uv2, float material,
                                float flag) {
    Float4 origin = p1, edge1 = p0 - p1;
    origin[3] = material;
    edge1[3] = flag;
    store<4>(t, origin);
    store<4>(t + 4, edge1);
    store<3>(t + 8, p2 - p1);
    set3(t + 12, n);
    set3(t + 16, n + 3);
    set3(t + 20, n + 6);
    set4(t + 24, uv0[0], uv0[1], uv1[0], uv1[1]);
    t[28] = uv2[0];
    t[29] = uv2[1];
}

} // namespace

// The group box lives in locals, not in a Box whose address escapes: the compiler
// keeps it in registers instead of reloading it after every store to the buffer.
struct GroupBounds {
    Float4 lo, hi;
    void reset(float start = kBoxStart) {
        lo = Float4{start, start, start, start};
        hi = -lo;
    }
    void extend(Float4 p) {
        lo = p < lo ? p : lo;
        hi = p > hi ? p : hi;
    }
    void store(float* min, float* max) const {
        for (int i = 0; i < 3; ++i) {
            min[i] = lo[i];
            max[i] = hi[i];
        }
    }
};

void PrimitiveWriter::writeTriangles(Studio3dsFile& file, int mesh, const float* normals, Cursor& c,
                                     Box& meshBox) {
    const Lib3dsMesh* m = file.mesh(mesh);
    const int* materials = file.faceMaterials(mesh).data();
    const float flag = strstr(m->name, "NoS") ? 0.0f : 1.0f;
    static const float noUv[2] = {0, 0};
    // Locals rather than fields: stores into the buffer would otherwise force the
    // compiler to reload them for every face.
    const float* pos = positions.data();
    const unsigned points = m->points, texels = m->texels;
    const Lib3dsTexel* uvs = m->texelL;
    float* const buffer = c.texels;
    auto uv = [&](unsigned i) { return i < texels ? uvs[i] : noUv; };
    GroupBounds bounds;
    bounds.reset();
    auto close = [&]() {
        Box group;
        bounds.store(group.min, group.max);
        closeGroup(c, group, meshBox);
        bounds.reset();
    };
    const int end = kTriangleBase + kTriangleCapacity * kTriangleTexels;
    c.groupStart = c.nextTriangleTexel;
    for (unsigned f = 0; f < m->faces; ++f) {
        const Lib3dsWord* index = m->faceL[f].points;
        if (index[0] >= points || index[1] >= points || index[2] >= points) {
            report(kFaceOutsidePoints, "mesh %s: face %u names a point beyond its %u; the face is skipped",
                   m->name, f, points);
            continue;
        }
        int next = c.nextTriangleTexel;
        if (next >= end) {
            ++c.droppedTriangles;
            continue;
        }
        Float4 p0 = load4(pos + 4 * index[0]), p1 = load4(pos + 4 * index[1]), p2 = load4(pos + 4 * index[2]);
        bounds.extend(p0);
        bounds.extend(p1);
        bounds.extend(p2);
        writeTriangleRecord(buffer + size_t(next) * kFloatsPerTexel, p0, p1, p2, normals + 9 * size_t(f),
                            uv(index[0]), uv(index[1]), uv(index[2]), float(materials[f]), flag);
        c.nextTriangleTexel = next + kTriangleTexels;
        if (c.nextTriangleTexel - c.groupStart > kGroupCloseTexels)
            close();
    }
    // Closed once more whatever it holds: a mesh of 26 faces ends with an empty group.
    close();
}

float* PrimitiveWriter::claimVolume(Cursor& c) {
    if (c.volumes >= kVolumeCapacity) {
        ++c.droppedVolumes;
        return nullptr;
    }
    return c.texel(kVolumeBase + c.volumes++ * kVolumeTexels);
}

void PrimitiveWriter::closeGroup(Cursor& c, const Box& group, Box& meshBox) {
    meshBox.extend(group);
    if (float* entry = claimVolume(c)) {
        set4(entry, group.min[0], group.min[1], group.min[2], float(c.groupStart));
        set4(entry + 4, group.max[0], group.max[1], group.max[2], float(c.nextTriangleTexel));
    }
    c.groupStart = c.nextTriangleTexel;
}

namespace {

// The box of every point that the mesh's faces name (points outside the mesh are
// passed over); false when no face names one.
bool faceBox(const Lib3dsMesh* m, const std::vector<float>& positions, float start, float* min, float* max) {
    GroupBounds bounds;
    bounds.reset(start);
    bool any = false;
    for (unsigned f = 0; f < m->faces; ++f)
        for (int j = 0; j < 3; ++j) {
            unsigned index = m->faceL[f].points[j];
            if (index >= m->points)
                continue;
            bounds.extend(load4(&positions[4 * index]));
            any = true;
        }
    bounds.store(min, max);
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
    float* entry = claimVolume(c);
    if (!entry)
        return true;
    float centre[3];
    for (int i = 0; i < 3; ++i)
        centre[i] = sphere.min[i] + (sphere.max[i] - sphere.min[i]) / 2;
    float radius = (sphere.max[0] - sphere.min[0]) / 2; // the x extent only
    set4(entry, centre[0], centre[1], centre[2], kVolumeSphere);
    set4(entry + 4, radius, 0.0f, 0.0f, float(file.faceMaterials(mesh)[0]));
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
    if (float* entry = claimVolume(c)) {
        set4(entry, box.min[0], box.min[1], box.min[2], kVolumeBox);
        set4(entry + 4, box.max[0], box.max[1], box.max[2], float(file.faceMaterials(mesh)[1]));
    }
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
    if (!n || file.kind(n) != Studio3dsFile::kOmnilightNode)
        n = node;
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
        // lib3ds gives every material a reflection percent of 1 whether or not the
        // file has a reflection map; without a map the material reflects nothing.
        float reflection = m->reflection_map.name[0] ? m->reflection_map.percent : 0.0f;
        set4(record + 8, reflection, 0.0f, 0.0f, float(slots.slot[i]));
        ++c.materials;
    }
}

void PrimitiveWriter::reportDropped(const Cursor& c) {
    const struct {
        int dropped;
        Problem problem;
        const char* records;
        int capacity;
    } regions[] = {{c.droppedTriangles, kTrianglesFull, "triangles", kTriangleCapacity},
                   {c.droppedVolumes, kVolumesFull, "bounding volumes", kVolumeCapacity},
                   {c.droppedMaterials, kMaterialsFull, "materials", kMaterialCapacity},
                   {c.droppedLights, kLightsFull, "lights", kLightCapacity},
                   {c.droppedMeshes, kMeshesFull, "meshes", kMeshCapacity}};
    for (const auto& r : regions)
        if (r.dropped)
            report(r.problem, "%d %s beyond the buffer's %d were not written", r.dropped, r.records,
                   r.capacity);
}
