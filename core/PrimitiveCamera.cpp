// The camera values of a flattening: the file's first camera as its nodes place it
// in the evaluated frame, and what the depth-of-field passes derive from it.
#include "core/PrimitiveWriter.h"

#include "core/Studio3dsFile.h"

#include <cmath>

namespace {

constexpr float kDefaultFov = 45.0f;

void copy3(float* dest, const float* src) {
    for (int i = 0; i < 3; ++i)
        dest[i] = src[i];
}

// A view from the front (-y) and above that takes in the whole box (z is up in 3D
// Studio scenes).
void defaultView(const float* min, const float* max, bool empty, FlattenCamera& cam) {
    float centre[3] = {0, 0, 0}, radius = 10.0f;
    if (!empty) {
        float d2 = 0;
        for (int i = 0; i < 3; ++i) {
            centre[i] = (min[i] + max[i]) / 2;
            d2 += (max[i] - min[i]) * (max[i] - min[i]);
        }
        radius = std::sqrt(d2) / 2 > 1.0f ? std::sqrt(d2) / 2 : 1.0f;
    }
    float distance = radius / std::sin(kDefaultFov / 2 * 3.14159265f / 180.0f);
    copy3(cam.target, centre);
    cam.position[0] = centre[0];
    cam.position[1] = centre[1] - distance * 0.894427f; // unit (0, -2, 1)
    cam.position[2] = centre[2] + distance * 0.447214f;
    cam.roll = 0;
    cam.fov = kDefaultFov;
}

} // namespace

FlattenCamera PrimitiveWriter::camera(const Studio3dsFile& file, float dofStrength, const Box& scene) {
    FlattenCamera cam;
    if (file.cameras().empty()) {
        note(kNoCamera, "no camera; showing a view of the whole scene");
        cam.source = FlattenCamera::kWholeSceneView;
        defaultView(scene.min, scene.max, scene.empty(), cam);
    } else {
        const Studio3dsCamera& record = file.cameras()[0];
        const Studio3dsNode* node = file.nodeByName(record.name.c_str(), Studio3dsNode::kCamera);
        const Studio3dsNode* target = file.nodeByName(record.name.c_str(), Studio3dsNode::kCameraTarget);
        if (node && target) {
            copy3(cam.position, node->position);
            copy3(cam.target, target->position);
            cam.roll = node->roll;
            cam.fov = node->fov;
        } else {
            note(kCameraWithoutNodes, "camera %s has no camera or target node; using its own record",
                 record.name.c_str());
            cam.source = FlattenCamera::kCameraRecord;
            copy3(cam.position, record.position);
            copy3(cam.target, record.target);
            cam.roll = record.roll;
            cam.fov = record.fov;
        }
    }
    float dx = cam.position[0] - cam.target[0], dy = cam.position[1] - cam.target[1],
          dz = cam.position[2] - cam.target[2];
    cam.focusDistance = std::sqrt(dx * dx + dy * dy + dz * dz);
    cam.blurSize = float(double(cam.fov) / 35.0 / 1024.0 * double(dofStrength));
    cam.focal = cam.focusDistance / 2.0f;
    return cam;
}
