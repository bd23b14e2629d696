#include "core/Studio3dsChunks.h"

#include "core/Studio3dsChunkIds.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <vector>

namespace {

using namespace chunk3ds;

// The keyframer's chunks that only the scan reads.
constexpr uint16_t kFirstNodeTag = 0xB001, kLastNodeTag = 0xB007;
constexpr uint16_t kNodeHeader = 0xB010;
constexpr uint16_t kNodeId = 0xB030;
constexpr uint16_t kFirstTrack = 0xB020, kLastTrack = 0xB029;
constexpr size_t kTrackHeader = 14; // flags, two unused words, key count
constexpr size_t kSmallestKey = 6;  // frame and spline flags
constexpr uint16_t kNoParent = 0xFFFF;

struct Span {
    const unsigned char* data;
    size_t size;
};

uint16_t word(const unsigned char* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t dword(const unsigned char* p) {
    return uint32_t(word(p)) | uint32_t(word(p + 2)) << 16;
}

// A NUL-terminated name at the start of `span`; the rest follows it.
std::string takeName(Span& span) {
    size_t n = 0;
    while (n < span.size && span.data[n])
        ++n;
    std::string name(reinterpret_cast<const char*>(span.data), n);
    size_t skip = n < span.size ? n + 1 : n;
    span = Span{span.data + skip, span.size - skip};
    return name;
}

class Scanner {
  public:
    Studio3dsChunkScan result;

    void scanFile(Span file) {
        // lib3ds reads the first chunk of the file and nothing after it.
        if (file.size < kHeader || word(file.data) != kMain)
            return fail("not a 3D Studio scene file");
        uint32_t length = dword(file.data + 2);
        if (length < kHeader || length > file.size)
            return fail("the file is shorter than its main chunk");
        walk(Span{file.data + kHeader, length - kHeader}, [&](uint16_t id, Span main) {
            if (id == kMeshData)
                walk(main, [&](uint16_t id, Span object) {
                    if (id == kNamedObject)
                        namedObject(object);
                    if (id == kMaterial)
                        walk(object, [&](uint16_t id, Span name) {
                            if (id == kMaterialName)
                                result.materialNames.push_back(takeName(name));
                        });
                });
            if (id == kKeyframes)
                keyframes(main);
        });
        checkNodeParents();
    }

  private:
    std::map<unsigned, std::set<unsigned>> parents; // node id -> parent ids

    void fail(const std::string& fault) {
        if (result.fault.empty())
            result.fault = fault;
    }

    // Calls visit(id, payload) for each chunk filling `span`. lib3ds reads a chunk
    // that runs past its parent (or a tail too short for a header) from whatever
    // follows, so either is a fault.
    template <class Visit> void walk(Span span, Visit visit) {
        size_t at = 0;
        while (at < span.size && result.fault.empty()) {
            uint32_t length = span.size - at >= kHeader ? dword(span.data + at + 2) : 0;
            if (length < kHeader || length > span.size - at)
                return fail("a chunk runs past the end of its parent");
            visit(word(span.data + at), Span{span.data + at + kHeader, length - kHeader});
            at += length;
        }
    }

    void namedObject(Span object) {
        std::string name = takeName(object);
        walk(object, [&](uint16_t id, Span payload) {
            if (id == kCamera)
                result.cameraNames.push_back(name);
            if (id == kLight)
                result.lightNames.push_back(name);
            if (id == kTriangleObject) {
                result.meshNames.push_back(name);
                triangleObject(payload, name);
            }
        });
    }

    void triangleObject(Span object, const std::string& mesh) {
        unsigned points = 0;
        walk(object, [&](uint16_t id, Span payload) {
            if (id != kPointArray || payload.size < 2)
                return;
            points = word(payload.data);
            if (2 + 12 * size_t(points) > payload.size)
                fail("mesh " + mesh + ": point array larger than its chunk");
        });
        walk(object, [&](uint16_t id, Span payload) {
            if (id == kFaceArray)
                faces(payload, points, mesh);
        });
    }

    void faces(Span array, unsigned points, const std::string& mesh) {
        if (array.size < 2)
            return;
        unsigned count = word(array.data);
        size_t records = 2 + 8 * size_t(count);
        if (records > array.size)
            return fail("mesh " + mesh + ": face array larger than its chunk");
        for (unsigned f = 0; f < count; ++f)
            for (int j = 0; j < 3; ++j) {
                unsigned index = word(array.data + 2 + 8 * f + 2 * j);
                if (index >= points) {
                    char text[96];
                    snprintf(text, sizeof text, ": face %u names point %u of %u", f, index, points);
                    return fail("mesh " + mesh + text);
                }
            }
        walk(Span{array.data + records, array.size - records}, [&](uint16_t id, Span group) {
            if (id == kMaterialGroup)
                materialGroup(group, count, mesh);
        });
    }

    void materialGroup(Span group, unsigned faces, const std::string& mesh) {
        takeName(group);
        if (group.size < 2)
            return;
        unsigned count = word(group.data);
        if (2 + 2 * size_t(count) > group.size)
            return fail("mesh " + mesh + ": material group larger than its chunk");
        for (unsigned i = 0; i < count; ++i)
            if (word(group.data + 2 + 2 * i) >= faces)
                return fail("mesh " + mesh + ": material group names a face beyond the face list");
    }

    // lib3ds reads as many keys as a track claims, inserting each in order: a
    // claim larger than the chunk could hold would keep it reading for hours.
    void track(Span payload) {
        if (payload.size < kTrackHeader)
            return fail("a keyframe track is shorter than its header");
        uint32_t keys = dword(payload.data + 10);
        if (keys <= 0x7FFFFFFF && keys > (payload.size - kTrackHeader) / kSmallestKey)
            fail("a keyframe track claims more keys than it holds");
    }

    // lib3ds hangs nodes under their parents by node id as it reads them; a node
    // that is its own ancestor sends it into endless recursion.
    void keyframes(Span data) {
        walk(data, [&](uint16_t tag, Span node) {
            if (tag < kFirstNodeTag || tag > kLastNodeTag)
                return;
            // lib3ds starts a node with id 0 and parent 0: a node without a header is its own parent.
            unsigned id = 0, parent = 0;
            std::string name;
            walk(node, [&](uint16_t sub, Span payload) {
                if (sub == kNodeId) {
                    if (payload.size < 2)
                        return fail("a node id chunk is shorter than its field");
                    id = word(payload.data);
                }
                if (sub >= kFirstTrack && sub <= kLastTrack)
                    track(payload);
                if (sub == kNodeHeader) {
                    name = takeName(payload);
                    if (payload.size < 6)
                        return fail("a node header is shorter than its fields");
                    parent = word(payload.data + 4);
                }
            });
            result.nodes.push_back({id, name});
            if (parent != kNoParent)
                parents[id].insert(parent);
        });
    }

    // Depth-first over the parent links, without recursion: a file may hold
    // thousands of nodes in one chain.
    void checkNodeParents() {
        std::map<unsigned, int> state; // 1: on the current path, 2: known to end
        for (const auto& entry : parents) {
            std::vector<std::pair<unsigned, std::set<unsigned>::const_iterator>> stack;
            auto enter = [&](unsigned id) {
                auto found = parents.find(id);
                if (found == parents.end()) {
                    state[id] = 2;
                    return;
                }
                state[id] = 1;
                stack.push_back({id, found->second.begin()});
            };
            if (state[entry.first] == 0)
                enter(entry.first);
            while (!stack.empty()) {
                auto& top = stack.back();
                if (top.second == parents[top.first].end()) {
                    state[top.first] = 2;
                    stack.pop_back();
                    continue;
                }
                unsigned next = *top.second++;
                if (state[next] == 1)
                    return fail("a node is its own ancestor");
                if (state[next] == 0)
                    enter(next);
            }
        }
    }
};

} // namespace

Studio3dsChunkScan scanStudio3dsChunks(const unsigned char* bytes, size_t size) {
    Scanner scanner;
    scanner.scanFile(Span{bytes, size});
    return scanner.result;
}
