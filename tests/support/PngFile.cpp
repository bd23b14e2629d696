#include "support/PngFile.h"

// Static, so another user of stb_image_write in the same program cannot clash.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <algorithm>

bool writePng(const std::string& path, const std::vector<float>& rgba, int width, int height) {
    if (rgba.size() < size_t(width) * height * 4)
        return false;
    std::vector<unsigned char> rgb(size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                float v = std::clamp(rgba[(size_t(height - 1 - y) * width + x) * 4 + c], 0.0f, 1.0f);
                rgb[(size_t(y) * width + x) * 3 + c] = (unsigned char)(v * 255.0f + 0.5f);
            }
    return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}
