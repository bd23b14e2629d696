#pragma once
#include <string>

// Data file names are written with a backslash as directory separator
// ("models\intro.3ds"); this maps one to a path relative to the working directory.
std::string dataPath(const char* name);
