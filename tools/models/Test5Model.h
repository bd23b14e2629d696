#pragma once

struct Lib3dsFile;

namespace models {

// Frames of the model's animation: one loop of the camera round the scene, 16
// frames a beat at 130 beats per minute (about 14.8 s).
constexpr int kTest5Frames = 512;

// The model scene's "models\test5.3DS": a spinning gyroscope of rings on a
// pedestal, lava orbs circling it, four wooden pillars, a checker floor and a grid
// wall, seen by a camera going once round it, lit by two omni lights. Every
// material names one of the bitmaps the bitmap generator draws. Free it with
// lib3ds_file_free. The scene generator writes it beside the show's scenes.
Lib3dsFile* buildTest5Model();

} // namespace models
