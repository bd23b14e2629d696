#pragma once

// `demo --inspect FILE [--frame N]`: prints what the GPU receives from a 3D Studio
// file at animation frame N, with no GL context. For every texel the flattening
// writes, in index order, one line "TEXEL REGION X Y Z W" (REGION one of header,
// triangle, volume, material, light, mesh; the four stored floats in %.9g), then
// one line "camera PX PY PZ TX TY TZ ROLL FOV". Notes about what the file lacks go
// to standard error, so standard output holds only these lines. Returns the process exit status:
// 0, or 1 after an "ERROR: " line when the file cannot be read.
int runInspector(const char* path, int frame);
