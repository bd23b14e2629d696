#pragma once
#include <string>
#include <vector>

namespace bitmaps {

// File names (under "textures\") of every bitmap the generator makes.
std::vector<std::string> bitmapNames();

// Makes every bitmap into `textureDir` (which must exist), with the DejaVu fonts
// found in `fontDir`. False, with an "ERROR: " line, when a font cannot be read
// or a file cannot be written.
bool writeAllBitmaps(const std::string& textureDir, const std::string& fontDir);

} // namespace bitmaps
