#pragma once

class Studio3dsFile;

// Where the model scene looks from. The file's first camera as its camera and
// target nodes place it; that camera's own record where either node is missing;
// with no camera at all, a view from outside the model's bounding box.
struct Brask1Camera {
    enum Source { kNodes, kRecord, kBoundingBox };
    // The field of view a model without a camera is shown with, in degrees.
    static constexpr float kDefaultFov = 45.0f;

    Source source = kNodes;
    float position[3] = {0, 0, 0};
    float target[3] = {0, 0, 0};
    float roll = 0;
    float fov = kDefaultFov; // degrees; the projection's vertical angle is half of it
};

// An axis-aligned box of placed points; empty until a point is added.
struct PointBox {
    float min[3] = {0, 0, 0};
    float max[3] = {0, 0, 0};
    bool empty = true;

    void add(const float* point);
};

// The camera of `file` at the frame last evaluated. `box` (the placed model) is
// read only when the file has no camera; `aspect` is the window's width / height.
Brask1Camera brask1Camera(const Studio3dsFile& file, const PointBox& box, double aspect);
// The view from the front (-y) and above (z is up) that takes in the whole box.
Brask1Camera boundingBoxView(const PointBox& box, double aspect);
