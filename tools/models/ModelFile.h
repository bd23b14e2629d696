#pragma once
#include "tools/models/Mesh.h"

#include <functional>
#include <string>

struct Lib3dsFile;
struct Lib3dsNode;

namespace models {

// How a mesh's node moves it, per frame where given: a point p of the mesh lands at
// pivot + offset + spin(scale * (p - pivot)), spin turning about the z axis
// (radians, counter-clockwise seen from above).
struct Motion {
    std::function<Vec3(int frame)> offset;
    std::function<Vec3(int frame)> scale;
    std::function<float(int frame)> spin;
    Vec3 pivot = {0, 0, 0};
};

// One 3D Studio file being built with lib3ds: materials, meshes with their
// instance nodes, one camera with its target, omni lights. Animated values are
// functions of the animation frame, keyed at every frame from 0 to frames - 1, so
// the file shows exactly what the functions say at each frame the show evaluates.
class ModelFile {
  public:
    using Track = std::function<Vec3(int frame)>;
    using Scalar = std::function<float(int frame)>;

    // `name` is the file's keyframer name (at most 12 characters).
    ModelFile(const std::string& name, int frames);
    ~ModelFile();
    ModelFile(const ModelFile&) = delete;
    ModelFile& operator=(const ModelFile&) = delete;

    struct Material {
        Vec3 diffuse = {0.7f, 0.7f, 0.7f};
        Vec3 specular = {1, 1, 1};
        float shininess = 0.3f;    // 0..1, sharpness of the highlight
        float shinStrength = 0.5f; // 0..1, strength of the highlight
        std::string texture;       // texture1 map name under textures\, "" for none
        float reflection = 0;      // mirror fraction; > 0 gives the material a reflection map
    };
    void material(const std::string& name, const Material& m);

    // A mesh and its instance node. The mesh is stored as given: triangle meshes
    // should be spatially ordered first.
    void mesh(const std::string& name, const Mesh& mesh, const Motion& motion = {});

    // The file's camera and its target node; fov in degrees (horizontal), roll in degrees.
    void camera(const std::string& name, const Track& position, const Track& target, const Scalar& fov,
                const Scalar& roll = nullptr);

    // An omni light and its node; `colour` times `multiplier` is its intensity.
    void omniLight(const std::string& name, const Track& position, const Track& colour,
                   float multiplier = 1.0f);

    int frames() const { return frameCount; }
    int triangles() const { return triangleCount; }
    // Writes the file; false (with an "ERROR: " line) when it cannot be written or
    // something could not be added to it.
    bool save(const std::string& path);

  private:
    Lib3dsNode* addNode(Lib3dsNode* node, const std::string& name);
    int frameCount;
    int triangleCount = 0;
    int nextNodeId = 0;
    bool incomplete = false;
    Lib3dsFile* file;
};

} // namespace models
