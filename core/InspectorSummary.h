#pragma once
#include "core/Inspector.h"

#include <cstdio>

class Studio3dsFile;
struct FlattenReport;

// `demo --inspect FILE --summary`: what a demo maker checks first, one line each:
//   meshes: ENTRIES drawn from MESHES in the file (T triangle meshes, S spheres, B boxes)
//   triangles: N in G groups
//   lights: TRACED traced of N in the file, ON on[; S spotlights, not traced]
//           [; U omni lights without a node, not traced]
//   camera: NAME, from its camera and target nodes | NAME, from its own record (it
//           has no camera or target node) | none, a view of the whole scene
//   frames: the file's frame count against the frames the show asks for
// `report` is the flattening of `file` as last evaluated.
void printInspectorSummary(FILE* out, const Studio3dsFile& file, const FlattenReport& report,
                           const ShowPace& pace);

// Frames a polygon scene counts through in `beats` beats at `framesPerBeat`: frame
// trunc(framesPerBeat * (beat + 0.35)) at each beat from 0, so the last one plus one.
int framesAsked(int framesPerBeat, float beats);
