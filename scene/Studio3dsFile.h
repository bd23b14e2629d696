#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

struct Lib3dsFile;
struct Lib3dsNode;
struct Lib3dsMesh;
struct Lib3dsMaterial;
struct Lib3dsLight;
struct Lib3dsCamera;

// The one adapter between the code and Debian's lib3ds (the 1.x interface): a file
// as the flattening and the scenes read it. Everything not here is read from the
// lib3ds structures or done with lib3ds calls directly.
//
// lib3ds 1.x keeps materials, meshes, lights and nodes sorted by name. Indices below
// follow that order; it is the same for the material records and the faces that
// name them, so nothing depends on file order there. The cameras are the exception:
// camera(0) is the first camera of the file.
class Studio3dsFile {
  public:
    // Node kinds as the flattening numbers them. lib3ds 1.x numbers its node types
    // otherwise and gives omni lights and spotlights one type: a light node is an
    // omnilight node unless its light is a spotlight.
    enum NodeKind {
        kOtherNode = 0,
        kMeshInstanceNode = 1,
        kCameraNode = 2,
        kCameraTargetNode = 3,
        kOmnilightNode = 4
    };

    // nullptr when the file cannot be opened or read (the caller reports it). A file
    // with no nodes gets one mesh-instance node per mesh.
    static Studio3dsFile* open(const char* path);
    ~Studio3dsFile();
    Studio3dsFile(const Studio3dsFile&) = delete;
    Studio3dsFile& operator=(const Studio3dsFile&) = delete;

    void eval(float frame);
    int frames() const;
    const char* name() const;
    int countFaces() const; // sum of the meshes' face counts
    int materialCount() const;
    const char* textureMapName(int material) const; // "" for a material without one

    Lib3dsFile* raw() { return file; }

    Lib3dsMaterial* material(int index) const { return materials[index]; }
    int meshCount() const { return int(meshes.size()); }
    Lib3dsMesh* mesh(int index) const { return meshes[index].mesh; }
    int lightCount() const { return int(lights.size()); }
    Lib3dsLight* light(int index) const { return lights[index]; }
    int lightByName(const char* name) const; // index, or -1
    // Material index of each face of a mesh (lib3ds 1.x names it), -1 where the face
    // names no material of the file; looked up once, when the file is opened.
    const std::vector<int>& faceMaterials(int mesh) const { return meshes[mesh].faceMaterials; }

    // Cameras in file order.
    int cameraCount() const { return int(cameras.size()); }
    Lib3dsCamera* camera(int index) const { return cameras[index]; }

    Lib3dsNode* firstNode() const; // the top-level node list, linked by next
    NodeKind kind(const Lib3dsNode* node) const;
    Lib3dsNode* nodeByName(const char* name, NodeKind kind) const;
    Lib3dsNode* nodeById(int nodeId) const;
    int meshOfNode(const Lib3dsNode* node) const; // mesh index, or -1 (dummy nodes)

    // Gives a file without nodes one mesh-instance node per mesh, each with an
    // identity transform; does nothing to a file that has nodes.
    void createNodesForMeshes();

    // From mesh data to scene space for a mesh-instance node: the node's matrix,
    // less its pivot, times the inverse of the mesh's own matrix (identity where
    // that cannot be inverted).
    void meshTransform(const Lib3dsNode* node, int mesh, float m[4][4]) const;
    // The mesh's points after transform m, 4 floats each (x, y, z and the
    // homogeneous w, 1 for the transforms of 3D Studio nodes), computed as
    // lib3ds_vector_transform does but without a call per point.
    void transformPoints(int mesh, const float m[4][4], float* out) const;
    // Three unit vertex normals (9 floats) per face of the mesh as it lies after the
    // transform m: faces sharing a smoothing group and a point share that corner's
    // normal (their normals summed, weighted by area); a face in no group, or one
    // naming a point outside the mesh, keeps its own normal (0 if it has none).
    void vertexNormals(int mesh, const float m[4][4], float* normals) const;

  private:
    // Unnormalised normal sums in mesh-data space, and for each corner (3 per face)
    // the sum it takes.
    struct CornerNormals {
        std::vector<float> sums; // 3 floats each
        std::vector<uint32_t> corner;
    };
    struct MeshData {
        Lib3dsMesh* mesh;
        std::vector<int> faceMaterials;
        CornerNormals normals;
    };
    explicit Studio3dsFile(Lib3dsFile* f) : file(f) {}
    void index(const std::vector<std::string>& cameraNames);
    void indexMesh(Lib3dsMesh* mesh);
    static CornerNormals cornerNormalSums(const Lib3dsMesh* mesh);
    Lib3dsFile* file;
    std::vector<Lib3dsMaterial*> materials;
    std::vector<MeshData> meshes;
    std::vector<Lib3dsLight*> lights;
    std::vector<Lib3dsCamera*> cameras;
    std::unordered_map<std::string, int> meshIndex, lightIndex, materialIndex;
};
