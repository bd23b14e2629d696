#include "core/PrimitiveWriter.h"

#include "core/ErrorReport.h"
#include "core/MaterialSlots.h"
#include "core/PrimitiveLayout.h"
#include "core/PrimitiveRecords.h"
#include "core/Studio3dsFile.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

using namespace primitive;

struct PrimitiveWriter::Cursor {
    float* texels;
    int nextTriangleTexel = kTriangleBase;
    int volumes = 0, lights = 0, lightsOn = 0, meshes = 0, materials = 0;
    int spheres = 0, boxes = 0, triangleMeshes = 0, triangleGroups = 0;
    int droppedTriangles = 0, droppedVolumes = 0, droppedLights = 0, droppedMeshes = 0, droppedMaterials = 0;
    size_t triangleNodes = 0; // triangle-mesh nodes walked so far
    Box scene;                // union of the mesh boxes, for a default view

    int triangles() const { return (nextTriangleTexel - kTriangleBase) / kTriangleTexels; }
};

namespace {

void set4(float* t, float x, float y, float z, float w) {
    t[0] = x;
    t[1] = y;
    t[2] = z;
    t[3] = w;
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
    nodeFaces.clear();
}

void PrimitiveWriter::resetTexels(float* texels) {
    memset(texels, 0, size_t(kTexels) * kFloatsPerTexel * sizeof(float));
    set4(texelAt(texels, 0), 30.0f, -10.0f, 50.0f, 0.0f);
    set4(texelAt(texels, 1), 30.0f, -10.0f, 50.0f, 0.0f);
    set4(texelAt(texels, 2), 1.0f, 0.0f, 0.2f, 1.0f);
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

void PrimitiveWriter::note(Problem problem, const char* format, ...) {
    if (reported[problem])
        return;
    reported[problem] = true;
    va_list args;
    va_start(args, format);
    fprintf(notes, "%s: ", fileName.c_str());
    vfprintf(notes, format, args);
    fputc('\n', notes);
    fflush(notes);
    va_end(args);
}

FlattenReport PrimitiveWriter::write(const Studio3dsFile& file, float dofStrength, float* texels) {
    changedTriangles.clear();
    changedVolumes.clear();
    Cursor c;
    c.texels = texels;
    c.scene.reset(kBoxStart);
    // Only top-level nodes: children and their meshes are not flattened.
    for (const Studio3dsNode& node : file.nodes()) {
        switch (node.kind) {
        case Studio3dsNode::kMeshInstance:
            writeMeshNode(file, node, c);
            break;
        case Studio3dsNode::kOmnilight:
            writeLightNode(file, node, c);
            break;
        default:
            break;
        }
    }
    // The header counts the light records written: the shader reads that many, so a
    // light of the file without an omnilight node (a spotlight, or a light whose
    // node is missing) must not be counted, or it would read a stale record.
    writeHeader(texels, c.nextTriangleTexel - kTriangleBase, c.volumes, c.lights, c.meshes);
    writeMaterials(file, c);
    reportDropped(c);

    FlattenReport out;
    out.camera = camera(file, dofStrength, c.scene);
    out.triangles = c.triangles();
    out.volumes = c.volumes;
    out.lights = c.lights;
    out.lightsOn = c.lightsOn;
    out.meshes = c.meshes;
    out.materials = c.materials;
    out.spheres = c.spheres;
    out.boxes = c.boxes;
    out.triangleMeshes = c.triangleMeshes;
    out.triangleGroups = c.triangleGroups;
    addRange(out.ranges, kHeaderTexel, 1);
    addRange(out.ranges, kTriangleBase, c.nextTriangleTexel - kTriangleBase);
    addRange(out.ranges, kVolumeBase, c.volumes * kVolumeTexels);
    addRange(out.ranges, kMaterialBase, c.materials * kMaterialTexels);
    addRange(out.ranges, kLightBase, c.lights * kLightTexels);
    addRange(out.ranges, kMeshBase, c.meshes * kMeshTexels);
    // Only triangle records and their groups are ever left out: the rest is small.
    addRange(out.changed, kHeaderTexel, 1);
    for (const TexelRange& r : changedTriangles)
        addRange(out.changed, r.first, r.count);
    for (const TexelRange& r : changedVolumes)
        addRange(out.changed, r.first, r.count);
    addRange(out.changed, kMaterialBase, c.materials * kMaterialTexels);
    addRange(out.changed, kLightBase, c.lights * kLightTexels);
    addRange(out.changed, kMeshBase, c.meshes * kMeshTexels);
    return out;
}

void PrimitiveWriter::writeMeshNode(const Studio3dsFile& file, const Studio3dsNode& node, Cursor& c) {
    int mesh = node.mesh;
    if (mesh < 0)
        return; // a dummy node, or one naming no mesh of the file
    const Studio3dsMesh& m = file.meshes()[mesh];

    int firstEntry = c.volumes;
    Box meshBox;
    meshBox.reset(kBoxStart);
    // Classified by name, case-sensitive, box before sphere.
    const bool box = m.name.find("PAABox22") != std::string::npos;
    if (box || m.name.find("Sphere") != std::string::npos) {
        float transform[4][4];
        meshTransform(node, m, transform);
        positions.resize(4 * size_t(m.pointCount()));
        transformPoints(m, transform, positions.data());
        if (!(box ? writeBox(file, mesh, c, meshBox) : writeSphere(file, mesh, c, meshBox)))
            return;
        addRange(changedVolumes, kVolumeBase + firstEntry * kVolumeTexels,
                 (c.volumes - firstEntry) * kVolumeTexels);
    } else {
        writeTriangles(facesFor(file, node, c), c, meshBox);
    }
    if (c.meshes >= kMeshCapacity) {
        ++c.droppedMeshes;
        return;
    }
    writeMesh(c.texels, c.meshes, meshBox.min, meshBox.max, firstEntry, c.volumes);
    ++c.meshes;
    ++(box ? c.boxes : m.name.find("Sphere") != std::string::npos ? c.spheres : c.triangleMeshes);
    if (!meshBox.empty())
        c.scene.extend(meshBox);
}

PrimitiveWriter::NodeFaces& PrimitiveWriter::facesFor(const Studio3dsFile& file, const Studio3dsNode& node,
                                                      Cursor& c) {
    if (nodeFaces.size() <= c.triangleNodes)
        nodeFaces.resize(c.triangleNodes + 1);
    NodeFaces& kept = nodeFaces[c.triangleNodes++];
    const int mesh = node.mesh;
    const Studio3dsMesh& m = file.meshes()[mesh];
    const uint32_t points = m.pointCount();
    auto valid = [points](const Studio3dsFace& face) {
        return face.index[0] < points && face.index[1] < points && face.index[2] < points;
    };
    if (kept.mesh != mesh) {
        kept = NodeFaces();
        kept.mesh = mesh;
        kept.meshFlag = m.name.find("NoS") != std::string::npos ? 0.0f : 1.0f;
        kept.faces.reserve(m.faces.size());
        for (size_t f = 0; f < m.faces.size(); ++f) {
            const Studio3dsFace& face = m.faces[f];
            if (!valid(face)) {
                report(kFaceOutsidePoints,
                       "mesh %s: face %zu names a point beyond its %u; the face is skipped", m.name.c_str(),
                       f, points);
                continue;
            }
            FaceRecord record = {};
            record.material = float(face.material);
            for (int j = 0; j < 3; ++j) {
                uint32_t index = face.index[j];
                record.point[j] = 4 * index;
                bool hasUv = index < m.uvCount();
                record.uv[2 * j] = hasUv ? m.uvs[2 * size_t(index)] : 0.0f;
                record.uv[2 * j + 1] = hasUv ? m.uvs[2 * size_t(index) + 1] : 0.0f;
            }
            kept.faces.push_back(record);
        }
    } else if (!memcmp(kept.nodeMatrix, node.matrix, sizeof kept.nodeMatrix) &&
               !memcmp(kept.pivot, node.pivot, sizeof kept.pivot)) {
        kept.moved = false;
        return kept; // the node stays where it was: its points and normals too
    }
    kept.moved = true;
    memcpy(kept.nodeMatrix, node.matrix, sizeof kept.nodeMatrix);
    memcpy(kept.pivot, node.pivot, sizeof kept.pivot);

    float transform[4][4];
    meshTransform(node, m, transform);
    kept.positions.resize(4 * size_t(points));
    transformPoints(m, transform, kept.positions.data());
    float linear[9];
    for (int i = 0; i < 9; ++i)
        linear[i] = transform[i / 3][i % 3];
    if (kept.normals.size() != 12 * kept.faces.size() || memcmp(kept.linear, linear, sizeof linear)) {
        memcpy(kept.linear, linear, sizeof linear);
        // One texel-wide vector per corner, for whole-vector loads per face.
        if (kept.faces.size() == m.faces.size()) {
            kept.normals.resize(12 * kept.faces.size());
            file.vertexNormals(mesh, transform, kept.positions.data(), kept.normals.data(), 4);
        } else {
            allNormals.resize(12 * m.faces.size());
            file.vertexNormals(mesh, transform, kept.positions.data(), allNormals.data(), 4);
            kept.normals.resize(12 * kept.faces.size());
            float* out = kept.normals.data();
            for (size_t f = 0; f < m.faces.size(); ++f)
                if (valid(m.faces[f])) {
                    memcpy(out, &allNormals[12 * f], 12 * sizeof(float));
                    out += 12;
                }
        }
    }
    return kept;
}

// The group box lives in locals, not in a Box whose address escapes: the compiler
// keeps it in registers instead of reloading it after every store to the buffer.
struct GroupBounds {
    Float4 lo, hi;
    void reset(float start = kBoxStart) {
        lo = Float4{start, start, start, start};
        hi = -lo;
    }
    // Strict comparisons: a box that starts at +-10000 keeps 10000 as its minimum
    // on an axis where every point lies above it.
    void extend(Float4 p) {
        lo = p < lo ? p : lo;
        hi = p > hi ? p : hi;
    }
    void extend(const GroupBounds& b) {
        lo = b.lo < lo ? b.lo : lo;
        hi = b.hi > hi ? b.hi : hi;
    }
    void store(float* min, float* max) const {
        for (int i = 0; i < 3; ++i) {
            min[i] = lo[i];
            max[i] = hi[i];
        }
    }
};

__attribute__((target_clones("avx2", "default"))) void
PrimitiveWriter::writeTriangles(NodeFaces& node, Cursor& c, Box& meshBox) {
    // A group closes once it spans more than kGroupCloseTexels, and once more after
    // the mesh's last face whatever it holds: a mesh of 26 faces ends with an empty
    // group. Faces beyond the region's capacity are dropped.
    constexpr size_t kGroupFaces = primitive::kGroupFaces;
    const int end = kTriangleBase + kTriangleCapacity * kTriangleTexels;
    // Locals rather than fields: stores into the buffer would otherwise force the
    // compiler to reload them for every face.
    int next = c.nextTriangleTexel;
    const int firstTexel = next, firstEntry = c.volumes;
    const size_t room = next < end ? size_t(end - next) / kTriangleTexels : 0;
    const size_t count = node.faces.size() < room ? node.faces.size() : room;
    c.droppedTriangles += int(node.faces.size() - count);
    const FaceRecord* faces = node.faces.data();
    const float* normals = node.normals.data();
    const float* pos = node.positions.data();
    float* const buffer = c.texels;
    const float flag = node.meshFlag;
    GroupBounds meshBounds;
    meshBounds.reset();
    size_t f = 0;
    for (;;) {
        const size_t groupEnd = f + kGroupFaces < count ? f + kGroupFaces : count;
        const bool full = groupEnd - f == kGroupFaces;
        const int groupStart = next;
        GroupBounds bounds;
        bounds.reset();
        for (; f < groupEnd; ++f) {
            const FaceRecord& face = faces[f];
            const float *p0 = pos + face.point[0], *p1 = pos + face.point[1], *p2 = pos + face.point[2];
            bounds.extend(load4(p0));
            bounds.extend(load4(p1));
            bounds.extend(load4(p2));
            writeTriangle(buffer, next, p0, p1, p2, normals + 12 * f, face.uv, face.material, flag);
            next += kTriangleTexels;
        }
        meshBounds.extend(bounds);
        int entry = claimVolume(c);
        if (entry >= 0) {
            ++c.triangleGroups;
            float min[3], max[3];
            bounds.store(min, max);
            writeGroup(buffer, entry, min, max, groupStart, next);
        }
        if (!full)
            break;
    }
    c.nextTriangleTexel = next;
    if (node.moved || node.writtenTexel != firstTexel || node.writtenEntry != firstEntry) {
        addRange(changedTriangles, firstTexel, next - firstTexel);
        addRange(changedVolumes, kVolumeBase + firstEntry * kVolumeTexels,
                 (c.volumes - firstEntry) * kVolumeTexels);
        node.writtenTexel = firstTexel;
        node.writtenEntry = firstEntry;
    }
    Box box;
    meshBounds.store(box.min, box.max);
    meshBox.extend(box);
}

int PrimitiveWriter::claimVolume(Cursor& c) {
    if (c.volumes >= kVolumeCapacity) {
        ++c.droppedVolumes;
        return -1;
    }
    return c.volumes++;
}

namespace {

// The box of every point that the mesh's faces name (points outside the mesh are
// passed over); false when no face names one.
bool faceBox(const Studio3dsMesh& m, const std::vector<float>& positions, float start, float* min,
             float* max) {
    GroupBounds bounds;
    bounds.reset(start);
    bool any = false;
    for (const Studio3dsFace& face : m.faces)
        for (int j = 0; j < 3; ++j) {
            uint32_t index = face.index[j];
            if (index >= m.pointCount())
                continue;
            bounds.extend(load4(&positions[4 * index]));
            any = true;
        }
    bounds.store(min, max);
    return any;
}

} // namespace

bool PrimitiveWriter::writeSphere(const Studio3dsFile& file, int mesh, Cursor& c, Box& meshBox) {
    const Studio3dsMesh& m = file.meshes()[mesh];
    Box sphere;
    if (!faceBox(m, positions, kSphereStart, sphere.min, sphere.max)) {
        report(kShapeWithoutFaces, "sphere mesh %s has no usable faces; it is skipped", m.name.c_str());
        return false;
    }
    meshBox.extend(sphere);
    int entry = claimVolume(c);
    if (entry < 0)
        return true;
    float centre[3];
    for (int i = 0; i < 3; ++i)
        centre[i] = sphere.min[i] + (sphere.max[i] - sphere.min[i]) / 2;
    float radius = (sphere.max[0] - sphere.min[0]) / 2; // the x extent only
    primitive::writeSphere(c.texels, entry, centre, radius, float(m.faces[0].material));
    return true;
}

bool PrimitiveWriter::writeBox(const Studio3dsFile& file, int mesh, Cursor& c, Box& meshBox) {
    const Studio3dsMesh& m = file.meshes()[mesh];
    Box box;
    // The entry takes the second face's material, so a box needs two faces.
    if (m.faces.size() < 2 || !faceBox(m, positions, kBoxStart, box.min, box.max)) {
        report(kShapeWithoutFaces, "box mesh %s has fewer than two faces; it is skipped", m.name.c_str());
        return false;
    }
    meshBox.extend(box);
    int entry = claimVolume(c);
    if (entry >= 0)
        primitive::writeBox(c.texels, entry, box.min, box.max, float(m.faces[1].material));
    return true;
}

void PrimitiveWriter::writeLightNode(const Studio3dsFile& file, const Studio3dsNode& node, Cursor& c) {
    if (node.light < 0) {
        report(kLightWithoutRecord, "light node %s names no light of the file; it is skipped",
               node.name.c_str());
        return;
    }
    // The node found by id, as long as that is an omnilight node too.
    const Studio3dsNode* n = file.nodeById(node.id);
    if (!n || n->kind != Studio3dsNode::kOmnilight)
        n = &node;
    if (c.lights >= kLightCapacity) {
        ++c.droppedLights;
        return;
    }
    const Studio3dsLight& l = file.lights()[node.light];
    writeLight(c.texels, c.lights, n->position, l.off, n->color, l.multiplier);
    ++c.lights;
    bool bright =
        n->color[0] * l.multiplier > 0 || n->color[1] * l.multiplier > 0 || n->color[2] * l.multiplier > 0;
    c.lightsOn += !l.off && bright;
}

void PrimitiveWriter::writeMaterials(const Studio3dsFile& file, Cursor& c) {
    MaterialSlots slots = materialSlots(file);
    if (slots.beyondSamplers > 0)
        report(kTexturesBeyondSamplers, "%d textured materials beyond the ninth are shown without texture",
               slots.beyondSamplers);
    for (int i = 0; i < file.materialCount(); ++i) {
        if (i >= kMaterialCapacity) {
            ++c.droppedMaterials;
            continue;
        }
        const Studio3dsMaterial& m = file.materials()[i];
        // lib3ds gives every material a reflection percent of 1 whether or not the
        // file has a reflection map; without a map the material reflects nothing.
        float reflection = m.reflectionMap.empty() ? 0.0f : m.reflectionPercent;
        writeMaterial(c.texels, i, m.diffuse, m.shinStrength, m.specular, m.shininess, reflection,
                      float(slots.slot[i]));
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
