#pragma once
#include <string>

struct RunContext;

// Where the bitmap a material names is read from. The show keeps its bitmaps under
// textures\; a modelling program's export puts them beside the model file, named in
// the capitals of 8.3 days ("CWALL02.JPG") whatever the files on disk are called.
// So: under textures\, then in the folder of `modelPath` (the model file's path),
// each time the name as given and else a file whose name differs only in case.
// When neither has it, the path under textures\, for the error line of the load.
// Both places tried are noted in the run's data paths, for live editing to watch.
std::string materialBitmapPath(const RunContext& run, const char* mapName, const std::string& modelPath);
