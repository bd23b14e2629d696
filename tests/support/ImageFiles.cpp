#include "support/ImageFiles.h"

// Static, so another user of stb_image_write in the same program cannot clash.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

void append(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), size_t(size));
}

} // namespace

std::string imageFile(const std::string& format, int width, int height, const std::string& rgb) {
    std::string bytes;
    if (rgb.size() < size_t(width) * height * 3)
        return bytes;
    const void* pixels = rgb.data();
    if (format == "png")
        stbi_write_png_to_func(append, &bytes, width, height, 3, pixels, width * 3);
    else if (format == "tga")
        stbi_write_tga_to_func(append, &bytes, width, height, 3, pixels);
    else if (format == "jpg")
        stbi_write_jpg_to_func(append, &bytes, width, height, 3, pixels, 100);
    return bytes;
}
