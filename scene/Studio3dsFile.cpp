#include "scene/Studio3dsFile.h"
#include "scene/ErrorReport.h"

#include "scene/Studio3dsChunks.h"

#include <lib3ds/camera.h>
#include <lib3ds/file.h>
#include <lib3ds/io.h>
#include <lib3ds/light.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

bool readWholeFile(const char* path, std::vector<unsigned char>& bytes) {
    FILE* f = fopen(path, "rb");
    if (!f)
        return false;
    unsigned char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}

// lib3ds reads through these callbacks from the bytes already scanned, so the
// file it reads is the one that was checked. lib3ds 1.x trusts chunk lengths and
// counts: on a cut or corrupt file it reads past the end (using whatever its buffers
// held) or goes round in circles on a chunk of length 0. Either ends the read here,
// by a jump back to readLib3ds; lib3ds is C, so no destructor is skipped.
struct MemoryStream {
    const std::vector<unsigned char>* bytes;
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
    long base = origin == LIB3DS_SEEK_SET   ? 0
                : origin == LIB3DS_SEEK_CUR ? long(s->at)
                                            : long(s->bytes->size());
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
    size_t total = s->bytes->size();
    if (s->at > total || size > total - s->at)
        abandonRead(s, "a chunk runs past the end of the file");
    if (size > s->budget)
        abandonRead(s, "a chunk of length 0 keeps lib3ds reading in circles");
    s->budget -= size;
    memcpy(buffer, s->bytes->data() + s->at, size);
    s->at += size;
    return size;
}

size_t streamWrite(void*, const void*, size_t) {
    return 0;
}

Lib3dsFile* readLib3ds(const std::vector<unsigned char>& bytes, std::string& fault) {
    MemoryStream stream{&bytes, 0, 8 * bytes.size() + 4096, nullptr, {}};
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

} // namespace

Studio3dsFile* Studio3dsFile::open(const char* path) {
    std::vector<unsigned char> bytes;
    if (!path || !readWholeFile(path, bytes))
        return nullptr;
    Studio3dsChunkScan scan = scanStudio3dsChunks(bytes.data(), bytes.size());
    if (!scan.fault.empty()) {
        reportError("%s: %s\n", path, scan.fault.c_str());
        return nullptr;
    }
    std::string fault;
    Lib3dsFile* file = readLib3ds(bytes, fault);
    if (!file) {
        if (!fault.empty())
            reportError("%s: %s\n", path, fault.c_str());
        return nullptr;
    }
    Studio3dsFile* result = new Studio3dsFile(file);
    result->index(scan.cameraNames);
    result->createNodesForMeshes();
    return result;
}

Studio3dsFile::~Studio3dsFile() {
    lib3ds_file_free(file);
}

void Studio3dsFile::index(const std::vector<std::string>& cameraNames) {
    for (Lib3dsMaterial* m = file->materials; m; m = m->next) {
        materialIndex.emplace(m->name, int(materials.size()));
        materials.push_back(m);
    }
    for (Lib3dsLight* l = file->lights; l; l = l->next) {
        lightIndex.emplace(l->name, int(lights.size()));
        lights.push_back(l);
    }
    for (Lib3dsMesh* m = file->meshes; m; m = m->next)
        indexMesh(m);
    // File order first; any camera the scan did not see keeps lib3ds's order after them.
    std::vector<Lib3dsCamera*> rest;
    for (Lib3dsCamera* c = file->cameras; c; c = c->next)
        rest.push_back(c);
    for (const std::string& name : cameraNames)
        for (Lib3dsCamera*& c : rest)
            if (c && name == c->name) {
                cameras.push_back(c);
                c = nullptr;
                break;
            }
    for (Lib3dsCamera* c : rest)
        if (c)
            cameras.push_back(c);
}

void Studio3dsFile::indexMesh(Lib3dsMesh* m) {
    MeshData data{m, std::vector<int>(m->faces, -1), {}};
    for (unsigned f = 0; f < m->faces; ++f) {
        auto found = materialIndex.find(m->faceL[f].material);
        if (found != materialIndex.end())
            data.faceMaterials[f] = found->second;
    }
    meshIndex.emplace(m->name, int(meshes.size()));
    meshes.push_back(std::move(data));
    meshes.back().normals = cornerNormalSums(m);
}

void Studio3dsFile::eval(float frame) {
    lib3ds_file_eval(file, frame);
}

int Studio3dsFile::frames() const {
    return file->frames;
}

const char* Studio3dsFile::name() const {
    return file->name;
}

int Studio3dsFile::countFaces() const {
    int faces = 0;
    for (const MeshData& m : meshes)
        faces += int(m.mesh->faces);
    return faces;
}

int Studio3dsFile::materialCount() const {
    return int(materials.size());
}

const char* Studio3dsFile::textureMapName(int index) const {
    return index >= 0 && index < materialCount() ? materials[index]->texture1_map.name : "";
}

int Studio3dsFile::lightByName(const char* name) const {
    auto found = lightIndex.find(name);
    return found == lightIndex.end() ? -1 : found->second;
}

Lib3dsNode* Studio3dsFile::firstNode() const {
    return file->nodes;
}

Studio3dsFile::NodeKind Studio3dsFile::kind(const Lib3dsNode* node) const {
    switch (node->type) {
    case LIB3DS_OBJECT_NODE:
        return kMeshInstanceNode;
    case LIB3DS_CAMERA_NODE:
        return kCameraNode;
    case LIB3DS_TARGET_NODE:
        return kCameraTargetNode;
    case LIB3DS_LIGHT_NODE: {
        int l = lightByName(node->name);
        return l >= 0 && lights[l]->spot_light ? kOtherNode : kOmnilightNode;
    }
    default:
        return kOtherNode;
    }
}

Lib3dsNode* Studio3dsFile::nodeByName(const char* name, NodeKind wanted) const {
    static const Lib3dsNodeTypes types[] = {LIB3DS_UNKNOWN_NODE, LIB3DS_OBJECT_NODE, LIB3DS_CAMERA_NODE,
                                            LIB3DS_TARGET_NODE, LIB3DS_LIGHT_NODE};
    if (wanted == kOtherNode)
        return nullptr;
    Lib3dsNode* node = lib3ds_file_node_by_name(file, name, types[wanted]);
    return node && kind(node) == wanted ? node : nullptr;
}

Lib3dsNode* Studio3dsFile::nodeById(int nodeId) const {
    return nodeId < 0 || nodeId > 0xFFFF ? nullptr : lib3ds_file_node_by_id(file, Lib3dsWord(nodeId));
}

int Studio3dsFile::meshOfNode(const Lib3dsNode* node) const {
    if (node->type != LIB3DS_OBJECT_NODE)
        return -1;
    auto found = meshIndex.find(node->name);
    return found == meshIndex.end() ? -1 : found->second;
}

void Studio3dsFile::createNodesForMeshes() {
    if (file->nodes)
        return;
    Lib3dsWord id = 0;
    for (const MeshData& m : meshes) {
        // An object node without keys evaluates to the identity transform.
        Lib3dsNode* node = lib3ds_node_new_object();
        snprintf(node->name, sizeof node->name, "%s", m.mesh->name);
        node->node_id = id++;
        node->parent_id = LIB3DS_NO_PARENT;
        lib3ds_file_insert_node(file, node);
    }
}
