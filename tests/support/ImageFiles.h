#pragma once
#include <string>

// Image files in the formats modelling programs export bitmaps in, made at test time
// with stb_image_write. `rgb` holds width * height pixels of red, green and blue
// bytes, top row first. format: "png", "tga" or "jpg" (quality 100); the file's
// bytes, empty for an unknown format.
std::string imageFile(const std::string& format, int width, int height, const std::string& rgb);
