#include "tools/optimizer/FaceOrder.h"

#include <algorithm>
#include <cstring>
#include <meshoptimizer.h>

namespace optimizer {

namespace {
constexpr size_t kFaceBytes = 8;
}

std::vector<float> meshPoints(const std::vector<unsigned char>& file, const MeshFaces& mesh) {
    std::vector<float> points(3 * size_t(mesh.pointCount));
    if (!points.empty())
        memcpy(points.data(), &file[mesh.points], points.size() * sizeof(float));
    return points;
}

std::vector<uint32_t> meshCorners(const std::vector<unsigned char>& file, const MeshFaces& mesh) {
    std::vector<uint32_t> corners(3 * size_t(mesh.faceCount));
    for (size_t i = 0; i < corners.size(); ++i)
        corners[i] = readWord(&file[mesh.faces + kFaceBytes * (i / 3) + 2 * (i % 3)]);
    return corners;
}

std::vector<uint32_t> spatialFaceOrder(const std::vector<float>& points,
                                       const std::vector<uint32_t>& corners) {
    // meshopt_spatialSortTriangles returns the sorted index buffer, not the order;
    // the order is what moves flags, smoothing and material groups with their faces,
    // so the centroids go through the same remap it uses.
    const size_t faces = corners.size() / 3;
    std::vector<float> centroids(3 * faces);
    for (size_t f = 0; f < faces; ++f)
        for (int axis = 0; axis < 3; ++axis)
            centroids[3 * f + axis] =
                (points[3 * corners[3 * f] + axis] + points[3 * corners[3 * f + 1] + axis] +
                 points[3 * corners[3 * f + 2] + axis]) /
                3.0f;
    std::vector<uint32_t> position(faces);
    if (faces)
        meshopt_spatialSortRemap(position.data(), centroids.data(), faces, 3 * sizeof(float));
    return position;
}

bool canReorder(const MeshFaces& mesh) {
    for (size_t size : mesh.smoothingSizes)
        if (size < 4 * size_t(mesh.faceCount))
            return false;
    return true;
}

void reorderFaces(std::vector<unsigned char>& file, const MeshFaces& mesh,
                  const std::vector<uint32_t>& position) {
    const size_t faces = mesh.faceCount;
    std::vector<unsigned char> records(&file[mesh.faces], &file[mesh.faces] + kFaceBytes * faces);
    for (size_t f = 0; f < faces; ++f)
        memcpy(&file[mesh.faces + kFaceBytes * position[f]], &records[kFaceBytes * f], kFaceBytes);

    for (size_t at : mesh.smoothing) {
        std::vector<unsigned char> words(&file[at], &file[at] + 4 * faces);
        for (size_t f = 0; f < faces; ++f)
            memcpy(&file[at + 4 * size_t(position[f])], &words[4 * f], 4);
    }

    for (size_t at : mesh.materialGroups) {
        size_t count = at;
        while (file[count])
            ++count;
        ++count;
        const uint16_t n = readWord(&file[count]);
        std::vector<uint16_t> moved(n);
        for (uint16_t i = 0; i < n; ++i)
            moved[i] = uint16_t(position[readWord(&file[count + 2 + 2 * i])]);
        std::sort(moved.begin(), moved.end());
        for (uint16_t i = 0; i < n; ++i)
            writeWord(&file[count + 2 + 2 * i], moved[i]);
    }
}

} // namespace optimizer
