#include "tools/optimizer/Optimize.h"
#include "core/Studio3dsChunks.h"
#include "tools/optimizer/FaceArrays.h"
#include "tools/optimizer/FaceOrder.h"

namespace optimizer {

OptimizeResult optimizeFaceOrder(std::vector<unsigned char>& file) {
    OptimizeResult result;
    // The show's reader refuses what lib3ds cannot read safely; so does this tool.
    Studio3dsChunkScan scan = scanStudio3dsChunks(file.data(), file.size());
    if (!scan.fault.empty()) {
        result.fault = scan.fault;
        return result;
    }
    std::vector<MeshFaces> meshes;
    result.fault = findMeshFaces(file, meshes);
    if (!result.fault.empty())
        return result;

    for (const MeshFaces& mesh : meshes) {
        MeshReport report;
        report.name = mesh.name;
        report.faces = int(mesh.faceCount);
        const std::vector<float> points = meshPoints(file, mesh);
        const std::vector<uint32_t> corners = meshCorners(file, mesh);
        report.before = report.after = rayCost(points, corners);
        if (!canReorder(mesh)) {
            report.keptBecause = "its smoothing chunk holds fewer words than it has faces";
        } else {
            std::vector<uint32_t> position = spatialFaceOrder(points, corners);
            RayCost sorted = rayCost(points, reorderedCorners(corners, position));
            if (sorted.tests() < report.before.tests()) {
                reorderFaces(file, mesh, position);
                report.after = sorted;
                report.reordered = true;
            } else {
                report.keptBecause = "its order needs no more tests than the sorted one";
            }
        }
        result.meshes.push_back(report);
    }
    return result;
}

} // namespace optimizer
