#include "scenes/effects/Brask1Camera.h"

#include "core/Studio3dsFile.h"

#include <algorithm>
#include <cmath>

namespace {

void copy3(float* dest, const float* src) {
    for (int i = 0; i < 3; ++i)
        dest[i] = src[i];
}

constexpr double kPi = 3.14159265358979323846;

} // namespace

void PointBox::add(const float* point) {
    for (int i = 0; i < 3; ++i) {
        min[i] = empty ? point[i] : std::min(min[i], point[i]);
        max[i] = empty ? point[i] : std::max(max[i], point[i]);
    }
    empty = false;
}

Brask1Camera boundingBoxView(const PointBox& box, double aspect) {
    Brask1Camera view;
    view.source = Brask1Camera::kBoundingBox;
    double centre[3] = {0, 0, 0}, radius = 10.0;
    if (!box.empty) {
        double d2 = 0;
        for (int i = 0; i < 3; ++i) {
            centre[i] = (double(box.min[i]) + box.max[i]) / 2;
            d2 += (double(box.max[i]) - box.min[i]) * (double(box.max[i]) - box.min[i]);
        }
        radius = std::max(std::sqrt(d2) / 2, 1.0);
    }
    // The projection's vertical angle is half the field of view; a narrow window
    // narrows the horizontal one below it.
    double halfVertical = view.fov / 4 * kPi / 180;
    double half = std::atan(std::tan(halfVertical) * std::min(aspect > 0 ? aspect : 1.0, 1.0));
    // The sphere around the box fits the view, with a little room at the edges.
    double distance = 1.05 * radius / std::sin(half);
    for (int i = 0; i < 3; ++i)
        view.target[i] = float(centre[i]);
    view.position[0] = float(centre[0]);
    view.position[1] = float(centre[1] - distance * 0.894427191); // along (0, -2, 1)
    view.position[2] = float(centre[2] + distance * 0.447213595);
    return view;
}

Brask1Camera brask1Camera(const Studio3dsFile& file, const PointBox& box, double aspect) {
    if (file.cameras().empty())
        return boundingBoxView(box, aspect);
    Brask1Camera view;
    const Studio3dsCamera& record = file.cameras()[0];
    const Studio3dsNode* node = file.nodeByName(record.name.c_str(), Studio3dsNode::kCamera);
    const Studio3dsNode* target = file.nodeByName(record.name.c_str(), Studio3dsNode::kCameraTarget);
    if (node && target) {
        copy3(view.position, node->position);
        copy3(view.target, target->position);
        view.roll = node->roll;
        view.fov = node->fov;
    } else {
        view.source = Brask1Camera::kRecord;
        copy3(view.position, record.position);
        copy3(view.target, record.target);
        view.roll = record.roll;
        view.fov = record.fov;
    }
    return view;
}
