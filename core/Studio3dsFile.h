#pragma once
#include "core/Studio3dsScene.h"
#include "core/Studio3dsTree.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct Studio3dsChunkScan;
struct Lib3dsNode;

// The one adapter between the code and Debian's lib3ds (the 1.x interface): a 3D
// Studio file as plain views, in the file's own order. lib3ds 1.x keeps materials,
// meshes, lights and nodes sorted by name; the order here is the file's, which
// decides the material numbers that faces carry and the order of every record.
// Lookups by name give the first match in file order.
//
// Readers never change the file: the views are const, and eval() only refreshes
// the evaluated values of the nodes.
class Studio3dsFile {
  public:
    // Largest file opened: a scene of the show is a few MiB.
    static constexpr size_t kMaxFileBytes = size_t(256) << 20;

    // nullptr after one "ERROR: " line when the file cannot be opened or read (a
    // missing file, a directory, a pipe or device, a file over the cap, a broken
    // file). A file with no nodes gets one mesh-instance node per mesh, then one
    // node per omni light and a camera and a target node per camera, each
    // holding its record's values at every frame.
    // The error line names the file `shownName` where one is given.
    static std::unique_ptr<Studio3dsFile> open(const char* path, const char* shownName = nullptr);
    ~Studio3dsFile();
    Studio3dsFile(const Studio3dsFile&) = delete;
    Studio3dsFile& operator=(const Studio3dsFile&) = delete;

    // Evaluates the keyframe animation at `frame` and refreshes the nodes' values.
    void eval(float frame);

    const char* name() const;
    int frames() const;
    int countFaces() const; // sum of the meshes' face counts
    int lightCount() const { return int(lightList.size()); }
    int materialCount() const { return int(materialList.size()); }
    const char* textureMapName(int material) const; // "" for a material without one

    const std::vector<Studio3dsMaterial>& materials() const { return materialList; }
    const std::vector<Studio3dsMesh>& meshes() const { return meshList; }
    const std::vector<Studio3dsLight>& lights() const { return lightList; }
    const std::vector<Studio3dsCamera>& cameras() const { return cameraList; }
    // The nodes the scenes walk, with their values at the frame last evaluated: the
    // top-level nodes (children are not listed). Only in a file where none of them
    // shows a mesh but nodes inside groups do, every node of the tree, depth first
    // in file order, each placed by its parents; open() then says so once.
    const std::vector<Studio3dsNode>& nodes() const { return nodeList; }

    int materialByName(const char* name) const; // index, or -1
    int meshByName(const char* name) const;     // index, or -1
    int lightByName(const char* name) const;    // index, or -1
    const Studio3dsNode* nodeByName(const char* name, Studio3dsNode::Kind kind) const;
    const Studio3dsNode* nodeById(int nodeId) const;

    // Three unit vertex normals per face of the mesh with its points placed by
    // `transform` (`points` holds them so, 4 floats each: see transformPoints),
    // computed as lib3ds 2.0 does; each normal takes `normalStride` floats (3 or 4).
    void vertexNormals(int mesh, const float transform[4][4], const float* points, float* normals,
                       size_t normalStride = 3) const;

  private:
    struct Lib3ds; // the lib3ds file and its nodes
    explicit Studio3dsFile(Lib3ds* lib);
    // Both return true when the nodes listed are the whole tree.
    bool index(const Studio3dsChunkScan& scan);
    bool indexNodes(const Studio3dsChunkScan& scan);
    void addStandInNodes(std::vector<Studio3dsNodeKey>& keys);
    bool showsAMesh(const std::vector<Lib3dsNode*>& nodes) const;

    std::unique_ptr<Lib3ds> lib;
    std::vector<Studio3dsMaterial> materialList;
    std::vector<Studio3dsMesh> meshList;
    std::vector<Studio3dsLight> lightList;
    std::vector<Studio3dsCamera> cameraList;
    std::vector<Studio3dsNode> nodeList;
    std::vector<MeshNormals> meshNormals;                                      // one per mesh
    std::unordered_map<std::string, int> materialIndex, meshIndex, lightIndex; // first of each name
};
