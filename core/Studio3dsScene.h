#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Plain views of a 3D Studio file, as the adapter (core/Studio3dsFile) hands them
// out: what the polygon scenes and the model scene read, and nothing of lib3ds.
// Matrices are 4 x 4 floats stored as lib3ds stores them: m[c] is column c, so a
// point p maps to m[0] p.x + m[1] p.y + m[2] p.z + m[3].

struct Studio3dsMaterial {
    std::string name;
    float diffuse[3] = {0, 0, 0};
    float specular[3] = {0, 0, 0};
    float shininess = 0;
    float shinStrength = 0;
    std::string textureMap;    // texture 1 map name, "" for none
    std::string reflectionMap; // "" for none
    float reflectionPercent = 0;
    bool selfIllum = false;
};

struct Studio3dsFace {
    uint32_t index[3] = {0, 0, 0}; // points, in corner order
    int material = -1;             // index into the file's materials, -1 for none
    uint32_t smoothing = 0;        // smoothing group bits, 0 for a flat face
};

struct Studio3dsMesh {
    std::string name;
    float matrix[4][4] = {};
    float inverse[4][4] = {};  // of `matrix`, identity where it has none, taken once at load
    std::vector<float> points; // 3 floats each
    std::vector<float> uvs;    // 2 floats each; may be fewer than the points, or none
    std::vector<Studio3dsFace> faces;

    uint32_t pointCount() const { return uint32_t(points.size() / 3); }
    uint32_t uvCount() const { return uint32_t(uvs.size() / 2); }
};

struct Studio3dsLight {
    std::string name;
    float position[3] = {0, 0, 0};
    float color[3] = {0, 0, 0};
    bool off = false;
    float multiplier = 1;
    bool spot = false;
};

struct Studio3dsCamera {
    std::string name;
    float position[3] = {0, 0, 0};
    float target[3] = {0, 0, 0};
    float roll = 0;
    float fov = 0; // degrees
};

// A node of the keyframe hierarchy as the scenes walk it (see Studio3dsFile::nodes).
// The values below `matrix` are those of the frame last evaluated, in world space;
// each applies to the kinds named.
struct Studio3dsNode {
    // Numbered as the flattening and the model scene number them. An omni light's
    // node is an omnilight node; a spotlight's is another node.
    enum Kind { kOther = 0, kMeshInstance = 1, kCamera = 2, kCameraTarget = 3, kOmnilight = 4 };

    Kind kind = kOther;
    int id = 0;
    std::string name;
    float pivot[3] = {0, 0, 0}; // mesh instance
    int mesh = -1;              // mesh instance: its mesh (the first of its name); -1 for a dummy
    int light = -1;             // omnilight: its light (the first of its name)

    float matrix[4][4] = {};       // every kind
    float position[3] = {0, 0, 0}; // camera, camera target, omnilight
    float fov = 0;                 // camera, degrees
    float roll = 0;                // camera
    float color[3] = {0, 0, 0};    // omnilight
};

// From a mesh's points to the scene for a mesh-instance node: the node's matrix,
// less its pivot, times the inverse of the mesh's own matrix (identity where that
// cannot be inverted).
void meshTransform(const Studio3dsNode& node, const Studio3dsMesh& mesh, float m[4][4]);

// The mesh's points after transform m, 4 floats each (x, y, z and the homogeneous
// w, 1 for the transforms of 3D Studio nodes).
void transformPoints(const Studio3dsMesh& mesh, const float m[4][4], float* out);

// The view matrix of a camera at `position` looking at `target`, rolled by `roll`
// about its line of sight, as lib3ds_matrix_camera makes it: the target ends up on
// the +y axis with z up.
void cameraMatrix(const float position[3], const float target[3], float roll, float m[4][4]);

// Vertex normals as lib3ds 2.0 computes them (lib3ds_mesh_calculate_vertex_normals),
// 9 floats per face from points `stride` floats apart. Each corner contributes
// p x q (p, q its two edges) scaled to the corner's angle. A corner of a face in no
// smoothing group takes its own contribution. Otherwise the face's group bits are
// widened by those of every face at the corner's point that shares a bit with
// them, and the contributions of the corners at that point whose faces share a bit
// with the widened groups are summed. Normalising a sum shorter than 1e-5 gives
// the unit axis of its largest component. Faces naming points beyond pointCount
// get zero normals and add nothing. Each normal takes `normalStride` floats of
// `normals` (3, or 4 to leave a fourth lane untouched), 3 per face.
void calculateVertexNormals(const std::vector<Studio3dsFace>& faces, const float* points, size_t stride,
                            uint32_t pointCount, float* normals, size_t normalStride = 3);

// The normals of one mesh under changing transforms. Normals of points placed by a
// similarity (rotation, uniform scale, mirror, translation) are the mesh's own
// normals turned by it, so the sums are taken once from the mesh's points and
// only turned each frame; any other transform computes them from the placed points.
class MeshNormals {
  public:
    explicit MeshNormals(const Studio3dsMesh& mesh);
    // 3 normals per face for the mesh placed by `transform`, each `normalStride`
    // floats apart; `points` holds the placed points, 4 floats each.
    void compute(const Studio3dsMesh& mesh, const float transform[4][4], const float* points, float* normals,
                 size_t normalStride = 3) const;

  private:
    std::vector<float> sums;         // unnormalised, 3 floats each, from the mesh's own points
    std::vector<uint32_t> cornerSum; // per corner (3 per face): its entry in sums
    // compute's scratch (the sums turned and normalised), kept between calls since
    // compute runs every frame.
    mutable std::vector<float> unit;
};
