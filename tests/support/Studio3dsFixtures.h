#pragma once
#include <array>
#include <string>
#include <vector>

struct Lib3dsFile;
struct Lib3dsMesh;
struct Lib3dsMaterial;
struct Lib3dsCamera;
struct Lib3dsLight;
struct Lib3dsNode;
namespace models {
struct Mesh;
}

// Builds 3D Studio files at test time with lib3ds itself, so the tests read files
// written by the same library the show reads them with.
//
// Order: lib3ds 1.x keeps materials, meshes, lights and nodes sorted by name and
// writes them so; a test that depends on their order names them in that order
// ("m0", "m1"; "a", "b"). Cameras are written in the order they were added (the
// builder links them itself). A file whose names are out of alphabetical order is
// made by renaming names in the saved bytes (renameInFile).
//
// Every node gets a node id of its own, counting from 0 in the order of creation;
// the node functions return it. Positions are keyed at frame 0; positionKey adds
// more keys so that evaluating the file moves the node.
class Studio3dsFixture {
  public:
    using Vec3 = std::array<float, 3>;
    using Tri = std::array<int, 3>;
    using Uv = std::array<float, 2>;
    static constexpr int kNoParent = -1;

    Studio3dsFixture();
    ~Studio3dsFixture();
    Studio3dsFixture(const Studio3dsFixture&) = delete;
    Studio3dsFixture& operator=(const Studio3dsFixture&) = delete;

    void setFrames(int frames);

    // A material; reflectionPercent < 0 leaves it without a reflection map (lib3ds
    // writes a map's percent only when the map has a name, so one is made up).
    Lib3dsMaterial* material(const std::string& name, const std::string& textureMap = "",
                             float reflectionPercent = -1.0f, Vec3 diffuse = {0.5f, 0.5f, 0.5f});

    // A mesh whose faces all use `material` ("" for none). texcoords may be empty.
    Lib3dsMesh* mesh(const std::string& name, const std::vector<Vec3>& points, const std::vector<Tri>& faces,
                     const std::string& material, const std::vector<Uv>& texcoords = {});
    // A mesh of the geometry kit (tools/models): its points, faces and uvs, every
    // face with `material` and in smoothing group 1 as above.
    Lib3dsMesh* mesh(const std::string& name, const models::Mesh& shape, const std::string& material);
    // An axis-aligned box: 8 points, 12 faces.
    Lib3dsMesh* box(const std::string& name, Vec3 min, Vec3 max, const std::string& material);
    // A latitude-longitude sphere whose x extent is exactly 2 * radius.
    Lib3dsMesh* sphere(const std::string& name, Vec3 centre, float radius, const std::string& material);
    // A square grid of n x n cells in the z = 0 plane from `origin`, cell size 1:
    // (n + 1)^2 shared points, 2 n^2 faces in one smoothing group, with UVs.
    Lib3dsMesh* grid(const std::string& name, int n, const std::string& material, Vec3 origin = {0, 0, 0});
    // `count` separate triangles in a row along x, starting at `origin`, with UVs.
    Lib3dsMesh* triangles(const std::string& name, int count, const std::string& material,
                          Vec3 origin = {0, 0, 0});

    // A mesh-instance node showing mesh `meshName` (the node carries the mesh's name).
    int meshNode(const std::string& meshName, Vec3 position = {0, 0, 0}, int parent = kNoParent);
    // A dummy ("$$$DUMMY") node: an object node that shows no mesh.
    int dummyNode(const std::string& instanceName, Vec3 position = {0, 0, 0}, int parent = kNoParent);

    // A camera record, and unless withNodes is false its camera and target nodes.
    Lib3dsCamera* camera(const std::string& name, Vec3 position, Vec3 target, float fov, float roll = 0,
                         bool withNodes = true);
    // An omni light and its light node.
    Lib3dsLight* omniLight(const std::string& name, Vec3 position, Vec3 color = {1, 1, 1},
                           float multiplier = 1.0f, bool off = false, bool withNode = true);
    // A spotlight, its light node and its target node.
    Lib3dsLight* spotLight(const std::string& name, Vec3 position, Vec3 target, Vec3 color = {1, 1, 1});

    // Adds a position key to a node of any kind.
    void positionKey(int nodeId, int frame, Vec3 position);
    // Adds a rotation key to a mesh-instance or dummy node: `angle` radians about
    // `axis`, relative to the previous key (as 3D Studio stores rotations).
    void rotationKey(int nodeId, int frame, Vec3 axis, float angle);

    // Saves node `nodeId` under node `parent` (by id), for the nodes the helpers
    // above make at the top level (lights, cameras); only the saved file changes.
    void saveUnder(int nodeId, int parent);
    // The id of the node made last.
    int lastNodeId() const { return int(nodes.size()) - 1; }

    Lib3dsNode* node(int nodeId);
    Lib3dsFile* raw() { return file; }
    bool save(const std::string& path);

    // Replaces every NUL-terminated name `from` in a saved file by `to`, of the same
    // length (so every chunk keeps its size); returns how many were replaced, -1 if
    // the file cannot be read or written.
    static int renameInFile(const std::string& path, const std::string& from, const std::string& to);

  private:
    Lib3dsNode* insertNode(Lib3dsNode* node, const std::string& name, int parent);
    Lib3dsFile* file;
    std::vector<Lib3dsNode*> nodes; // by node id
};
