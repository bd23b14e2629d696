#pragma once
#include <vector>

// Runs of consecutive mesh entries with the box around them, handed to the ray
// shader beside the primitive buffer. A ray that misses a run's box skips all of
// its meshes at the cost of one box test, so a scene of many meshes (a city of
// towers) costs a ray a few run boxes and the meshes of the runs it enters rather
// than every mesh box. Runs keep the mesh order, so every walk visits the meshes a
// ray enters in the same order as without runs and finds the same hits.
struct MeshRun {
    float min[3];
    float max[3];
    int first; // the run's first mesh entry
    int end;   // the entry after its last
};

constexpr int kMaxMeshRuns = 32; // the ray shader's uniform arrays

// Cuts the first `meshes` mesh entries of a primitive buffer into at most
// kMaxMeshRuns runs, choosing the cuts that make the expected box tests of a ray
// least: each run's box costs every ray one test, and its meshes cost one each
// to the rays that enter it, in proportion to its surface. Meshes with an empty
// box are kept in their run but add nothing to its box. Empty for no meshes.
std::vector<MeshRun> meshRuns(const float* texels, int meshes);

// The runs as the ray shader's uniforms: "meshRuns" the count, "runMin" and
// "runMax" one vec4 per run (the corners; w: first mesh, and the mesh after its last).
struct MeshRunUniforms {
    int count = 0;
    float min[4 * kMaxMeshRuns] = {};
    float max[4 * kMaxMeshRuns] = {};
};
MeshRunUniforms meshRunUniforms(const std::vector<MeshRun>& runs);
// The runs of the mesh entries a flattened primitive buffer holds (its header's
// count), as uniforms.
MeshRunUniforms meshRunUniformsOf(const float* texels);
