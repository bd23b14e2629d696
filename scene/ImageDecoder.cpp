#include "scene/ImageDecoder.h"

#include "scene/ReadWholeFile.h"

#include <climits>
#include <memory>
#include <new>
#include <utility>

// Private to this file. Files arrive through readWholeFile, which refuses pipes and
// devices; stb_image refuses sides beyond the texture limit before it allocates.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS kMaxBitmapSide
#include <stb/stb_image.h>

namespace {

bool isWindowsBitmap(const unsigned char* data, size_t size) {
    return size >= 2 && data[0] == 'B' && data[1] == 'M';
}

// stb_image's rows (top first, red, green, blue, unpadded) in the upload's layout.
bool fromTopDownRgb(const unsigned char* rgb, int width, int height, DecodedBitmap* out) {
    size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    std::unique_ptr<unsigned char[]> pixels(new (std::nothrow) unsigned char[rowBytes * height]());
    if (!pixels)
        return false;
    for (int r = 0; r < height; ++r) {
        const unsigned char* src = rgb + static_cast<size_t>(height - 1 - r) * width * 3;
        unsigned char* dst = pixels.get() + static_cast<size_t>(r) * rowBytes;
        for (int x = 0; x < width; ++x) {
            dst[x * 3] = src[x * 3 + 2];
            dst[x * 3 + 1] = src[x * 3 + 1];
            dst[x * 3 + 2] = src[x * 3];
        }
    }
    out->width = width;
    out->height = height;
    out->rowBytes = rowBytes;
    out->pixels = std::move(pixels);
    return true;
}

bool decodeWithStb(const unsigned char* data, size_t size, DecodedBitmap* out, long long maxPixels) {
    if (size > INT_MAX)
        return false;
    int width = 0, height = 0, channels = 0;
    // The header first: the size a file claims is refused before any pixel is decoded.
    if (!stbi_info_from_memory(data, int(size), &width, &height, &channels))
        return false;
    auto fits = [&](int w, int h) {
        return w > 0 && h > 0 && w <= kMaxBitmapSide && h <= kMaxBitmapSide && (long long)w * h <= maxPixels;
    };
    if (!fits(width, height))
        return false;
    std::unique_ptr<stbi_uc, void (*)(void*)> rgb(
        stbi_load_from_memory(data, int(size), &width, &height, &channels, 3), stbi_image_free);
    return rgb && fits(width, height) && fromTopDownRgb(rgb.get(), width, height, out);
}

} // namespace

bool decodeImage(const unsigned char* data, size_t size, DecodedBitmap* out, long long maxPixels) {
    if (!data)
        return false;
    if (isWindowsBitmap(data, size))
        return decodeBitmap(data, size, out);
    return decodeWithStb(data, size, out, maxPixels);
}

bool loadImageFile(const char* path, DecodedBitmap* out) {
    // The largest acceptable bitmap: 16384 x 16384 at 32 bits, plus headers.
    const size_t maxBytes = static_cast<size_t>(kMaxBitmapSide) * kMaxBitmapSide * 4 + (1u << 20);
    size_t size = 0;
    std::unique_ptr<char[]> bytes(readWholeFile(path, maxBytes, &size, allocateCharArray));
    return bytes && decodeImage(reinterpret_cast<const unsigned char*>(bytes.get()), size, out);
}
