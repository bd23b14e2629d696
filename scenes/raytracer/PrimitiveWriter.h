#pragma once
#include <string>
#include <vector>

class Studio3dsFile;

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
};

struct FlattenReport {
    FlattenCamera camera;
    std::vector<TexelRange> ranges; // ascending, not overlapping
    int triangles = 0;
    int volumes = 0;
    int lights = 0;
    int meshes = 0;
    int materials = 0;
};

// Writes an evaluated 3D Studio scene into a plain float array laid out as the
// primitive buffer (primitive::kTexels * 4 floats). Plain C++: the scene uploads
// the ranges it reports, the inspector prints them, the tests read them.
class PrimitiveWriter {
public:
    // Starts a new file: capacity errors are reported once per load and region.
    void reset(const std::string& fileName);
    FlattenReport write(Studio3dsFile& file, float dofStrength, float* texels);

private:
    std::string fileName;
    bool reported[6] = {};
};
