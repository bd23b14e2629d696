// Placing a mesh for its node: the matrix helpers of lib3ds, on the plain views.
#include "core/Studio3dsScene.h"

#include <lib3ds/matrix.h>

#include <cstring>

void meshTransform(const Studio3dsNode& node, const Studio3dsMesh& mesh, float m[4][4]) {
    Lib3dsMatrix nodeMatrix, inverse;
    memcpy(nodeMatrix, node.matrix, sizeof nodeMatrix);
    lib3ds_matrix_copy(m, nodeMatrix);
    Lib3dsVector pivot = {-node.pivot[0], -node.pivot[1], -node.pivot[2]};
    lib3ds_matrix_translate(m, pivot);
    memcpy(inverse, mesh.inverse, sizeof inverse);
    lib3ds_matrix_mult(m, inverse);
}

void transformPoints(const Studio3dsMesh& mesh, const float m[4][4], float* __restrict out) {
    // Column by column, four lanes at a time: this runs for every point every frame.
    typedef float Float4 __attribute__((vector_size(16)));
    Float4 column[4];
    memcpy(column, m, sizeof column);
    const float* p = mesh.points.data();
    for (uint32_t i = 0, n = mesh.pointCount(); i < n; ++i, p += 3) {
        Float4 placed = column[0] * p[0] + column[1] * p[1] + column[2] * p[2] + column[3];
        memcpy(out + 4 * size_t(i), &placed, sizeof placed);
    }
}

void cameraMatrix(const float position[3], const float target[3], float roll, float m[4][4]) {
    Lib3dsVector from = {position[0], position[1], position[2]};
    Lib3dsVector to = {target[0], target[1], target[2]};
    lib3ds_matrix_camera(m, from, to, roll);
}
