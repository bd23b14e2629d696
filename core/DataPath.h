#pragma once
#include <string>

// Data file names are written with a backslash as directory separator
// ("models\intro.3ds"); this maps one to a path relative to the working directory.
// When no file has that exact name but one in the same directory differs only in
// letter case, that one is taken: 3D Studio files name their bitmaps in the case
// of the system they were made on ("CHECKER.BMP").
std::string dataPath(const char* name);
