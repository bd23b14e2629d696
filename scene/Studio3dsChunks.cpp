#include "scene/Studio3dsChunks.h"

#include <cstdint>
#include <cstdio>

namespace {

// Chunk ids of the 3D Studio format that the scan reads.
constexpr uint16_t kMain = 0x4D4D;
constexpr uint16_t kMeshData = 0x3D3D;
constexpr uint16_t kNamedObject = 0x4000;
constexpr uint16_t kCamera = 0x4700;
constexpr uint16_t kTriangleObject = 0x4100;
constexpr uint16_t kPointArray = 0x4110;
constexpr uint16_t kFaceArray = 0x4120;
constexpr uint16_t kMaterialGroup = 0x4130;
constexpr size_t kHeader = 6;

struct Span {
    const unsigned char* data;
    size_t size;
};

uint16_t word(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t dword(const unsigned char* p) { return uint32_t(word(p)) | uint32_t(word(p + 2)) << 16; }

// Calls visit(id, payload) for each chunk in `span`. A chunk whose length runs past
// its parent is cut at the parent's end; one shorter than a header ends the walk.
template <class Visit> void eachChunk(Span span, Visit visit) {
    size_t at = 0;
    while (span.size - at >= kHeader) {
        uint32_t length = dword(span.data + at + 2);
        if (length < kHeader) return;
        size_t end = length > span.size - at ? span.size : at + length;
        visit(word(span.data + at), Span{span.data + at + kHeader, end - at - kHeader});
        at = end;
    }
}

// A NUL-terminated name at the start of `span`; the rest follows it.
std::string takeName(Span& span) {
    size_t n = 0;
    while (n < span.size && span.data[n]) ++n;
    std::string name(reinterpret_cast<const char*>(span.data), n);
    size_t skip = n < span.size ? n + 1 : n;
    span = Span{span.data + skip, span.size - skip};
    return name;
}

std::string checkMaterialGroup(Span group, unsigned faces) {
    takeName(group);
    if (group.size < 2) return "";
    unsigned count = word(group.data);
    if (2 + 2 * size_t(count) > group.size) return "material group larger than its chunk";
    for (unsigned i = 0; i < count; ++i)
        if (word(group.data + 2 + 2 * i) >= faces) return "material group names a face beyond the face list";
    return "";
}

std::string checkFaces(Span array, unsigned points) {
    if (array.size < 2) return "";
    unsigned faces = word(array.data);
    size_t records = 2 + 8 * size_t(faces);
    if (records > array.size) return "face array larger than its chunk";
    for (unsigned f = 0; f < faces; ++f)
        for (int j = 0; j < 3; ++j) {
            unsigned index = word(array.data + 2 + 8 * f + 2 * j);
            if (index >= points) {
                char text[96];
                snprintf(text, sizeof text, "face %u names point %u of %u", f, index, points);
                return text;
            }
        }
    std::string fault;
    eachChunk(Span{array.data + records, array.size - records}, [&](uint16_t id, Span payload) {
        if (id == kMaterialGroup && fault.empty()) fault = checkMaterialGroup(payload, faces);
    });
    return fault;
}

std::string checkTriangleObject(Span object) {
    unsigned points = 0;
    std::string fault;
    eachChunk(object, [&](uint16_t id, Span payload) {
        if (id != kPointArray || payload.size < 2) return;
        points = word(payload.data);
        if (2 + 12 * size_t(points) > payload.size) fault = "point array larger than its chunk";
    });
    if (!fault.empty()) return fault;
    eachChunk(object, [&](uint16_t id, Span payload) {
        if (id == kFaceArray && fault.empty()) fault = checkFaces(payload, points);
    });
    return fault;
}

void scanNamedObject(Span object, Studio3dsChunkScan& scan) {
    std::string name = takeName(object);
    eachChunk(object, [&](uint16_t id, Span payload) {
        if (id == kCamera) scan.cameraNames.push_back(name);
        if (id == kTriangleObject && scan.fault.empty()) {
            std::string fault = checkTriangleObject(payload);
            if (!fault.empty()) scan.fault = "mesh " + name + ": " + fault;
        }
    });
}

} // namespace

Studio3dsChunkScan scanStudio3dsChunks(const unsigned char* bytes, size_t size) {
    Studio3dsChunkScan scan;
    eachChunk(Span{bytes, size}, [&](uint16_t id, Span main) {
        if (id != kMain) return;
        eachChunk(main, [&](uint16_t id, Span data) {
            if (id != kMeshData) return;
            eachChunk(data, [&](uint16_t id, Span object) {
                if (id == kNamedObject) scanNamedObject(object, scan);
            });
        });
    });
    return scan;
}
