#pragma once

// How a polygon scene of the show plays a file: the frames per beat it counts and
// the beats it is on screen. framesPerBeat 0: a file of no scene of the show.
struct ShowPace {
    int scene = 0;
    int framesPerBeat = 0;
    float beats = 0;
};

// `demo --inspect FILE [--frame N]`: prints what the GPU receives from a 3D Studio
// file at animation frame N, with no GL context. For every texel the flattening
// writes, in index order, one line "TEXEL REGION X Y Z W" (REGION one of header,
// triangle, volume, material, light, mesh; the four stored floats in %.9g), then
// one line "camera PX PY PZ TX TY TZ ROLL FOV". With `summary`, a few lines that
// sum it up instead (see InspectorSummary.h); `pace` says how the show plays the
// file, where it does. Notes about what the file lacks go to standard error, so
// standard output holds only the lines above. Returns the process exit status:
// 0, or 1 after an "ERROR: " line when the file cannot be read.
int runInspector(const char* path, int frame, bool summary = false, const ShowPace& pace = ShowPace());
