#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class Studio3dsFile;
struct Studio3dsNode;

// A run of texels written by one flattening: [first, first + count).
struct TexelRange {
    int first;
    int count;
};

// Camera values derived from the evaluated file, handed to the shaders.
struct FlattenCamera {
    float position[3] = {0, 0, 0};
    float target[3] = {0, 0, 0};
    float roll = 0;
    float fov = 0;
    float focusDistance = 0;
    float blurSize = 0;
    float focal = 0;
    // Where the view comes from: the first camera's nodes, its own record where it
    // has no camera or target node, or a view made up for a file with no camera.
    enum Source { kCameraNodes, kCameraRecord, kWholeSceneView } source = kCameraNodes;
};

struct FlattenReport {
    FlattenCamera camera;
    std::vector<TexelRange> ranges; // ascending, not overlapping, adjacent runs merged
    // The part of `ranges` whose content may differ from this writer's previous
    // write (all of it after a reset), in the same form: a buffer that received
    // every earlier write of this writer is brought up to date by these alone.
    std::vector<TexelRange> changed;
    int triangles = 0;
    int volumes = 0;
    int lights = 0;
    int lightsOn = 0; // light records on and of some intensity: the shader's own test
    int meshes = 0;
    int materials = 0;
    // What the mesh entries hold: sphere and box entries, and triangle meshes with
    // the triangle groups they were cut into.
    int spheres = 0, boxes = 0, triangleMeshes = 0, triangleGroups = 0;
};

// Writes an evaluated 3D Studio scene into a plain float array laid out as the
// primitive buffer (primitive::kTexels * 4 floats), from the adapter's views and
// through the record functions of PrimitiveRecords.h. Plain C++: the scene uploads
// the ranges it reports, the inspector prints them, the tests read them.
//
// Only the components a record defines are written; the others keep what the array
// held (resetTexels gives the buffer's content before the first flattening). No
// write leaves its region: records beyond a region's capacity are dropped, the
// header counts what was written, and each kind of trouble is reported once per
// reset, not once per frame.
class PrimitiveWriter {
  public:
    // Call for every file opened, the first one too: each problem is then reported
    // once per load, and what the writer keeps between frames of one file (faces,
    // placed points, normals, where it wrote what) is dropped, so the next write
    // reports every range as changed. fileName is the name the error lines give.
    void reset(const std::string& fileName);
    // Flattens the file as last evaluated. Does not evaluate it and does not clear
    // the array: only the reported ranges are written.
    FlattenReport write(const Studio3dsFile& file, float dofStrength, float* texels);

    // The content of the buffer before the first flattening: zeros, but texels 0
    // and 1 hold (30, -10, 50, 0) and texel 2 holds (1, 0, 0.2, 1).
    static void resetTexels(float* texels);

    // Where notes go: standard output with the other progress lines, unless a
    // caller keeps that for its own output.
    void setNoteStream(FILE* stream) { notes = stream; }

    enum Problem {
        kTrianglesFull,
        kVolumesFull,
        kMaterialsFull,
        kLightsFull,
        kMeshesFull,
        kFaceOutsidePoints,
        kLightWithoutRecord,
        kShapeWithoutFaces,
        kCameraWithoutNodes,
        kNoCamera,
        kTexturesBeyondSamplers,
        kProblemCount
    };

  private:
    struct Box {
        float min[3], max[3];
        void reset(float start);
        void extend(const Box& b); // min with min, max with max
        bool empty() const;
    };
    struct Cursor; // the running counts of one write
    struct NodeFaces;
    void writeMeshNode(const Studio3dsFile& file, const Studio3dsNode& node, Cursor& c);
    NodeFaces& facesFor(const Studio3dsFile& file, const Studio3dsNode& node, Cursor& c);
    // Every face of every frame passes here: an AVX2 clone where the CPU has it. Only
    // subtractions, minima and maxima, so both clones write the same bytes.
    __attribute__((target_clones("avx2", "default"))) void writeTriangles(NodeFaces& faces, Cursor& c,
                                                                          Box& meshBox);
    bool writeSphere(const Studio3dsFile& file, int mesh, Cursor& c, Box& meshBox);
    bool writeBox(const Studio3dsFile& file, int mesh, Cursor& c, Box& meshBox);
    int claimVolume(Cursor& c); // the next bounding-volume entry, or -1 when the region is full
    void writeLightNode(const Studio3dsFile& file, const Studio3dsNode& node, Cursor& c);
    void writeMaterials(const Studio3dsFile& file, Cursor& c);
    FlattenCamera camera(const Studio3dsFile& file, float dofStrength, const Box& sceneBounds);
    void reportDropped(const Cursor& c);
    void report(Problem problem, const char* format, ...) __attribute__((format(printf, 3, 4)));
    // What a file lacks and the writer makes up for (no camera, a camera without
    // nodes) is no failure: said once per reset as a note, without "ERROR: ".
    void note(Problem problem, const char* format, ...) __attribute__((format(printf, 3, 4)));
    FILE* notes = stdout;

    std::string fileName;
    bool reported[kProblemCount] = {};
    std::vector<float> positions;  // scratch: the placed points of a sphere or box mesh, 4 floats each
    std::vector<float> allNormals; // scratch: vertex normals of every face of a mesh with bad faces
    // Scratch of one write: the triangle and bounding-volume texels it changed.
    std::vector<TexelRange> changedTriangles, changedVolumes;
    // What the records of each triangle-mesh node keep from frame to frame, in walk
    // order: per face its point offsets, texture coordinates and material, fixed for
    // the file; its placed points, kept while the node's matrix and pivot stay the
    // same; and its vertex normals, which depend only on the linear part of the
    // placing transform, so a node that only moves keeps them.
    struct FaceRecord {
        uint32_t point[3]; // offsets into the node's `positions`
        float material;
        float uv[6]; // U0, V0, U1, V1, U2, V2
    };
    struct NodeFaces {
        int mesh = -1;
        float meshFlag = 1;
        float nodeMatrix[4][4] = {}; // the node's, when `positions` were placed
        float pivot[3] = {};
        float linear[9] = {}; // of the transform that placed them
        bool moved = true;    // placed again by this write
        // Where the last write put the node's records and its first group entry,
        // -1 before the first: records that stay put and unmoved are unchanged.
        int writtenTexel = -1, writtenEntry = -1;
        std::vector<float> positions;  // the mesh's points placed for the node, 4 floats each
        std::vector<FaceRecord> faces; // the faces naming points of the mesh, in face order
        std::vector<float> normals;    // 12 per entry of `faces`: 3 corners of 4 floats
    };
    std::vector<NodeFaces> nodeFaces;
};
