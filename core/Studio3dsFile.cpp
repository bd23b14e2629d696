#include "core/Studio3dsFile.h"
#include "core/ErrorReport.h"

#include "core/ReadWholeFile.h"
#include "core/Studio3dsChunks.h"
#include "core/Studio3dsFileOrder.h"
#include "core/Studio3dsTree.h"

#include <lib3ds/camera.h>
#include <lib3ds/file.h>
#include <lib3ds/io.h>
#include <lib3ds/light.h>
#include <lib3ds/material.h>
#include <lib3ds/matrix.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>
#include <lib3ds/tracks.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <unordered_map>

namespace {

// lib3ds reads through these callbacks from the bytes already scanned, so the
// file it reads is the one that was checked. lib3ds 1.x trusts chunk lengths and
// counts: on a cut or corrupt file it reads past the end (using whatever its buffers
// held) or goes round in circles on a chunk of length 0. Either ends the read here,
// by a jump back to readLib3ds; lib3ds is C, so no destructor is skipped.
struct MemoryStream {
    const unsigned char* data;
    size_t size;
    size_t at;
    size_t budget; // bytes lib3ds may still read; a sound file needs a few passes at most
    const char* fault;
    jmp_buf abandon;
};

[[noreturn]] void abandonRead(MemoryStream* s, const char* fault) {
    s->fault = fault;
    longjmp(s->abandon, 1);
}

Lib3dsBool streamError(void*) {
    return LIB3DS_FALSE;
}

long streamSeek(void* self, long offset, Lib3dsIoSeek origin) {
    MemoryStream* s = static_cast<MemoryStream*>(self);
    long base = origin == LIB3DS_SEEK_SET ? 0 : origin == LIB3DS_SEEK_CUR ? long(s->at) : long(s->size);
    if (base + offset < 0)
        abandonRead(s, "a chunk points before the start of the file");
    s->at = size_t(base + offset);
    return 0;
}

long streamTell(void* self) {
    return long(static_cast<MemoryStream*>(self)->at);
}

size_t streamRead(void* self, void* buffer, size_t size) {
    MemoryStream* s = static_cast<MemoryStream*>(self);
    size_t total = s->size;
    if (s->at > total || size > total - s->at)
        abandonRead(s, "a chunk runs past the end of the file");
    if (size > s->budget)
        abandonRead(s, "a chunk of length 0 keeps lib3ds reading in circles");
    s->budget -= size;
    memcpy(buffer, s->data + s->at, size);
    s->at += size;
    return size;
}

size_t streamWrite(void*, const void*, size_t) {
    return 0;
}

Lib3dsFile* readLib3ds(const unsigned char* data, size_t size, std::string& fault) {
    MemoryStream stream{data, size, 0, 8 * size + 4096, nullptr, {}};
    Lib3dsIo* io = lib3ds_io_new(&stream, streamError, streamSeek, streamTell, streamRead, streamWrite);
    Lib3dsFile* file = lib3ds_file_new();
    if (!io || !file) {
        if (io)
            lib3ds_io_free(io);
        if (file)
            lib3ds_file_free(file);
        return nullptr;
    }
    if (setjmp(stream.abandon)) {
        // What lib3ds had linked into the file is freed; a part it was still reading leaks.
        lib3ds_file_free(file);
        lib3ds_io_free(io);
        fault = stream.fault;
        return nullptr;
    }
    Lib3dsBool ok = lib3ds_file_read(file, io);
    lib3ds_io_free(io);
    if (!ok) {
        lib3ds_file_free(file);
        return nullptr;
    }
    return file;
}

// lib3ds keeps one nesting string for its chunk reader (128 bytes, two more per
// open chunk) that only a finished read unwinds. A read it gives up on, or one
// abandoned above, leaves its open chunks in it, and a few dozen such files
// overflow it. So each file is read first in a child process, and in this one only
// when the child read it whole. Returns false with the reason otherwise.
bool readsWhole(const unsigned char* data, size_t size, std::string& fault) {
    int channel[2];
    if (pipe(channel) != 0)
        return true; // no child to try in: read here, as before
    pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        return true;
    }
    if (child == 0) {
        close(channel[0]);
        std::string reason;
        Lib3dsFile* file = readLib3ds(data, size, reason);
        if (!file && reason.empty())
            reason = "lib3ds could not read it";
        ssize_t written = write(channel[1], reason.data(), reason.size());
        (void)written;
        _exit(file ? 0 : 1); // nothing of this process is flushed or freed twice
    }
    close(channel[1]);
    fault.clear();
    char buffer[256];
    ssize_t n;
    while ((n = read(channel[0], buffer, sizeof buffer)) != 0) {
        if (n > 0)
            fault.append(buffer, size_t(n));
        else if (errno != EINTR)
            break;
    }
    close(channel[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    if (fault.empty())
        fault = "lib3ds crashed reading it";
    return false;
}

// Why a file could not be read whole, for the error line.
std::string unreadableReason(const char* path) {
    struct stat info;
    if (stat(path, &info) != 0)
        return strerror(errno);
    if (!S_ISREG(info.st_mode))
        return "not a regular file";
    if (static_cast<unsigned long long>(info.st_size) > Studio3dsFile::kMaxFileBytes)
        return "larger than 256 MiB";
    return "it could not be read";
}

void copy3(float* dest, const float* src) {
    memcpy(dest, src, 3 * sizeof(float));
}

Studio3dsMaterial materialView(const Lib3dsMaterial* m) {
    Studio3dsMaterial v;
    v.name = m->name;
    copy3(v.diffuse, m->diffuse);
    copy3(v.specular, m->specular);
    v.shininess = m->shininess;
    v.shinStrength = m->shin_strength;
    v.textureMap = m->texture1_map.name;
    v.reflectionMap = m->reflection_map.name;
    v.reflectionPercent = m->reflection_map.percent;
    v.selfIllum = m->self_illum;
    return v;
}

Studio3dsLight lightView(const Lib3dsLight* l) {
    Studio3dsLight v;
    v.name = l->name;
    copy3(v.position, l->position);
    copy3(v.color, l->color);
    v.off = l->off;
    v.multiplier = l->multiplier;
    v.spot = l->spot_light;
    return v;
}

Studio3dsCamera cameraView(const Lib3dsCamera* c) {
    Studio3dsCamera v;
    v.name = c->name;
    copy3(v.position, c->position);
    copy3(v.target, c->target);
    v.roll = c->roll;
    v.fov = c->fov;
    return v;
}

void addName(std::unordered_map<std::string, int>& index, const std::string& name, int at) {
    index.emplace(name, at); // the first of a name stays
}

int lookUp(const std::unordered_map<std::string, int>& index, const char* name) {
    auto found = name ? index.find(name) : index.end();
    return found == index.end() ? -1 : found->second;
}

void evaluated(const Lib3dsNode* n, Studio3dsNode& v) {
    memcpy(v.matrix, n->matrix, sizeof v.matrix);
    switch (v.kind) {
    case Studio3dsNode::kCamera:
        copy3(v.position, n->data.camera.pos);
        v.fov = n->data.camera.fov;
        v.roll = n->data.camera.roll;
        break;
    case Studio3dsNode::kCameraTarget:
        copy3(v.position, n->data.target.pos);
        break;
    case Studio3dsNode::kOmnilight:
        copy3(v.position, n->data.light.pos);
        copy3(v.color, n->data.light.col);
        break;
    default:
        break;
    }
    // lib3ds keys a position relative to the parent; the evaluated matrix is the
    // parent's translated by it, so its last column is where the node stands.
    if (n->parent && (v.kind == Studio3dsNode::kCamera || v.kind == Studio3dsNode::kCameraTarget ||
                      v.kind == Studio3dsNode::kOmnilight))
        copy3(v.position, n->matrix[3]);
}

// A key at frame 0, so the track holds `value` at every frame.
void lin3Key(Lib3dsLin3Track* track, const float value[3]) {
    Lib3dsLin3Key* key = lib3ds_lin3_key_new();
    key->tcb.frame = 0;
    copy3(key->value, value);
    lib3ds_lin3_track_insert(track, key);
}

void lin1Key(Lib3dsLin1Track* track, float value) {
    Lib3dsLin1Key* key = lib3ds_lin1_key_new();
    key->tcb.frame = 0;
    key->value = value;
    lib3ds_lin1_track_insert(track, key);
}

Studio3dsMesh meshView(const Lib3dsMesh* m, const Studio3dsFile& file) {
    Studio3dsMesh v;
    v.name = m->name;
    memcpy(v.matrix, m->matrix, sizeof v.matrix);
    Lib3dsMatrix inverse;
    memcpy(inverse, m->matrix, sizeof inverse);
    if (!lib3ds_matrix_inv(inverse))
        lib3ds_matrix_identity(inverse);
    memcpy(v.inverse, inverse, sizeof v.inverse);
    v.points.resize(3 * size_t(m->points));
    for (unsigned i = 0; i < m->points; ++i)
        copy3(&v.points[3 * size_t(i)], m->pointL[i].pos);
    v.uvs.resize(2 * size_t(m->texels));
    for (unsigned i = 0; i < m->texels; ++i) {
        v.uvs[2 * size_t(i)] = m->texelL[i][0];
        v.uvs[2 * size_t(i) + 1] = m->texelL[i][1];
    }
    v.faces.resize(m->faces);
    for (unsigned f = 0; f < m->faces; ++f) {
        const Lib3dsFace& face = m->faceL[f];
        for (int j = 0; j < 3; ++j)
            v.faces[f].index[j] = face.points[j];
        v.faces[f].material = file.materialByName(face.material);
        v.faces[f].smoothing = face.smoothing;
    }
    return v;
}

Studio3dsNode nodeView(const Lib3dsNode* n, const Studio3dsFile& file) {
    Studio3dsNode v;
    v.id = n->node_id;
    v.name = n->name;
    switch (n->type) {
    case LIB3DS_OBJECT_NODE:
        v.kind = Studio3dsNode::kMeshInstance;
        copy3(v.pivot, n->data.object.pivot);
        v.mesh = file.meshByName(n->name);
        break;
    case LIB3DS_CAMERA_NODE:
        v.kind = Studio3dsNode::kCamera;
        break;
    case LIB3DS_TARGET_NODE:
        v.kind = Studio3dsNode::kCameraTarget;
        break;
    case LIB3DS_LIGHT_NODE:
        // lib3ds 1.x gives omni lights and spotlights one node type.
        v.light = file.lightByName(n->name);
        v.kind =
            v.light >= 0 && file.lights()[v.light].spot ? Studio3dsNode::kOther : Studio3dsNode::kOmnilight;
        break;
    default:
        v.kind = Studio3dsNode::kOther;
    }
    if (v.kind != Studio3dsNode::kOmnilight)
        v.light = -1;
    evaluated(n, v);
    return v;
}

} // namespace

struct Studio3dsFile::Lib3ds {
    Lib3dsFile* file;
    std::vector<Lib3dsNode*> nodes; // as nodeList lists them
    ~Lib3ds() { lib3ds_file_free(file); }
};

Studio3dsFile::Studio3dsFile(Lib3ds* l) : lib(l) {}
Studio3dsFile::~Studio3dsFile() = default;

std::unique_ptr<Studio3dsFile> Studio3dsFile::open(const char* path, const char* shownName) {
    const char* shown = shownName ? shownName : path ? path : "";
    size_t length = 0;
    std::unique_ptr<char[]> bytes(path ? readWholeFile(path, kMaxFileBytes, &length, allocateCharArray)
                                       : nullptr);
    if (!bytes) {
        reportError("Could not open 3D Studio file %s: %s\n", shown,
                    path ? unreadableReason(path).c_str() : "");
        return nullptr;
    }
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.get());
    Studio3dsChunkScan scan = scanStudio3dsChunks(data, length);
    if (!scan.fault.empty()) {
        reportError("Could not open 3D Studio file %s: %s\n", shown, scan.fault.c_str());
        return nullptr;
    }
    std::string fault;
    if (!readsWhole(data, length, fault)) {
        reportError("Could not open 3D Studio file %s: %s\n", shown, fault.c_str());
        return nullptr;
    }
    Lib3dsFile* file = readLib3ds(data, length, fault);
    if (!file) {
        reportError("Could not open 3D Studio file %s: %s\n", shown,
                    fault.empty() ? "lib3ds could not read it" : fault.c_str());
        return nullptr;
    }
    std::unique_ptr<Studio3dsFile> result(new Studio3dsFile(new Lib3ds{file, {}}));
    if (result->index(scan))
        reportError("%s: meshes found only inside groups; drawing the whole tree\n", shown);
    return result;
}

bool Studio3dsFile::index(const Studio3dsChunkScan& scan) {
    Lib3dsFile* file = lib->file;
    for (Lib3dsMaterial* m : inFileOrder(file->materials, scan.materialNames)) {
        addName(materialIndex, m->name, int(materialList.size()));
        materialList.push_back(materialView(m));
    }
    for (Lib3dsLight* l : inFileOrder(file->lights, scan.lightNames)) {
        addName(lightIndex, l->name, int(lightList.size()));
        lightList.push_back(lightView(l));
    }
    for (Lib3dsCamera* c : inFileOrder(file->cameras, scan.cameraNames))
        cameraList.push_back(cameraView(c));
    for (Lib3dsMesh* m : inFileOrder(file->meshes, scan.meshNames)) {
        addName(meshIndex, m->name, int(meshList.size()));
        meshList.push_back(meshView(m, *this));
        meshNormals.emplace_back(meshList.back());
    }
    return indexNodes(scan);
}

bool Studio3dsFile::showsAMesh(const std::vector<Lib3dsNode*>& nodes) const {
    for (const Lib3dsNode* n : nodes)
        if (n->type == LIB3DS_OBJECT_NODE && meshByName(n->name) >= 0)
            return true;
    return false;
}

bool Studio3dsFile::indexNodes(const Studio3dsChunkScan& scan) {
    Lib3dsFile* file = lib->file;
    using Key = Studio3dsNodeKey;
    std::vector<Key> keys;
    if (!file->nodes) {
        // A file saved without a keyframe section (as lib3ds writes one that was
        // given none) would show nothing: its nodes are made here, in the order
        // the keys list them.
        addStandInNodes(keys);
    } else {
        for (const Studio3dsChunkScan::NodeTag& tag : scan.nodes)
            keys.push_back({tag.id, tag.name});
    }
    lib->nodes = inFileOrder(file->nodes, keys, [](const Lib3dsNode* n) { return Key(n->node_id, n->name); });
    // A model whose objects were grouped keeps every mesh under a group node (a
    // mesh-instance node naming no mesh), and its top-level nodes draw nothing.
    bool wholeTree = false;
    if (!showsAMesh(lib->nodes)) {
        std::vector<Lib3dsNode*> tree = studio3dsWholeTree(lib->nodes, keys);
        wholeTree = showsAMesh(tree);
        if (wholeTree)
            lib->nodes = std::move(tree);
    }
    for (const Lib3dsNode* n : lib->nodes)
        nodeList.push_back(nodeView(n, *this));
    return wholeTree;
}

void Studio3dsFile::addStandInNodes(std::vector<Studio3dsNodeKey>& keys) {
    Lib3dsFile* file = lib->file;
    auto insert = [&](Lib3dsNode* node, const std::string& name) {
        snprintf(node->name, sizeof node->name, "%s", name.c_str());
        node->node_id = Lib3dsWord(keys.size());
        node->parent_id = LIB3DS_NO_PARENT;
        lib3ds_file_insert_node(file, node);
        keys.push_back({unsigned(node->node_id), node->name});
    };
    // One mesh-instance node per mesh; a node without keys evaluates to the
    // identity transform.
    for (const Studio3dsMesh& m : meshList)
        insert(lib3ds_node_new_object(), m.name);
    // A light or camera node without keys evaluates to the origin, black and a
    // field of view of 0: each is keyed once with its record's values, which then
    // hold at every frame. Spotlights are not traced and get no node.
    for (const Studio3dsLight& l : lightList) {
        if (l.spot)
            continue;
        Lib3dsNode* node = lib3ds_node_new_light();
        insert(node, l.name);
        lin3Key(&node->data.light.pos_track, l.position);
        lin3Key(&node->data.light.col_track, l.color);
    }
    for (const Studio3dsCamera& c : cameraList) {
        Lib3dsNode* node = lib3ds_node_new_camera();
        insert(node, c.name);
        lin3Key(&node->data.camera.pos_track, c.position);
        lin1Key(&node->data.camera.fov_track, c.fov);
        lin1Key(&node->data.camera.roll_track, c.roll);
        Lib3dsNode* target = lib3ds_node_new_target();
        insert(target, c.name);
        lin3Key(&target->data.target.pos_track, c.target);
    }
}

void Studio3dsFile::eval(float frame) {
    lib3ds_file_eval(lib->file, frame);
    for (size_t i = 0; i < nodeList.size(); ++i)
        evaluated(lib->nodes[i], nodeList[i]);
}

const char* Studio3dsFile::name() const {
    return lib->file->name;
}

int Studio3dsFile::frames() const {
    return lib->file->frames;
}

int Studio3dsFile::countFaces() const {
    int faces = 0;
    for (const Studio3dsMesh& m : meshList)
        faces += int(m.faces.size());
    return faces;
}

const char* Studio3dsFile::textureMapName(int index) const {
    return index >= 0 && index < materialCount() ? materialList[index].textureMap.c_str() : "";
}

int Studio3dsFile::materialByName(const char* name) const {
    return lookUp(materialIndex, name);
}

int Studio3dsFile::meshByName(const char* name) const {
    return lookUp(meshIndex, name);
}

int Studio3dsFile::lightByName(const char* name) const {
    return lookUp(lightIndex, name);
}

const Studio3dsNode* Studio3dsFile::nodeByName(const char* name, Studio3dsNode::Kind kind) const {
    for (const Studio3dsNode& n : nodeList)
        if (n.kind == kind && n.name == name)
            return &n;
    return nullptr;
}

const Studio3dsNode* Studio3dsFile::nodeById(int nodeId) const {
    for (const Studio3dsNode& n : nodeList)
        if (n.id == nodeId)
            return &n;
    return nullptr;
}

void Studio3dsFile::vertexNormals(int mesh, const float transform[4][4], const float* points, float* normals,
                                  size_t normalStride) const {
    meshNormals[mesh].compute(meshList[mesh], transform, points, normals, normalStride);
}
