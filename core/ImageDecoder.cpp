#include "core/ImageDecoder.h"

#include "core/ReadWholeFile.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

// Private to this file. Files arrive through readWholeFile, which refuses pipes and
// devices; stb_image refuses sides beyond the texture limit before it allocates.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS kMaxBitmapSide
// Its failure reasons are never read; without them it keeps no writable static buffer.
#define STBI_NO_FAILURE_STRINGS
#include <stb/stb_image.h>

namespace {

bool isWindowsBitmap(const unsigned char* data, size_t size) {
    return size >= 2 && data[0] == 'B' && data[1] == 'M';
}

// The Huffman tables of one JPEG DHT segment starting at `at` and declared to end
// at `end`: each table's 16 counts must add up to at most the 256 symbols it holds.
// Like stb_image, a table that starts before `end` is read whole, and bytes past
// the file count as 0.
bool huffmanTablesFit(const unsigned char* data, size_t size, size_t at, size_t end) {
    while (at < end) {
        size_t symbols = 0;
        for (size_t i = at + 1; i <= at + 16 && i < size; ++i)
            symbols += data[i];
        if (symbols > 256)
            return false;
        at += 17 + symbols;
    }
    return true;
}

// stb_image 2.27, which Debian 12 ships, trusts those counts: a table of more
// than 256 symbols writes past its arrays. So every DHT segment of a JPEG is
// checked first, found as stb_image finds it: segments follow one another by
// their lengths, bytes between them are skipped, and in scan data a marker is a
// 0xFF byte followed by anything but 0. Anything else is left for stb_image.
bool jpegTablesFit(const unsigned char* data, size_t size) {
    size_t at = 0;
    while (at < size && data[at] == 0xFF)
        ++at;
    if (at == 0 || at >= size || data[at] != 0xD8)
        return true; // not a JPEG: its start of image may follow any number of 0xFF
    ++at;
    while (at + 1 < size) {
        if (data[at] != 0xFF) {
            ++at;
            continue;
        }
        unsigned char marker = data[at + 1];
        // Fill bytes, escaped 0xFF in scan data, restart markers and markers without a length.
        if (marker == 0xFF || marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            at += marker == 0xFF ? 1 : 2;
            continue;
        }
        if (marker == 0xD9)
            return true;
        if (at + 4 > size)
            return true;
        size_t end = std::min(size, at + 2 + (size_t(data[at + 2]) << 8 | data[at + 3]));
        if (marker == 0xC4 && !huffmanTablesFit(data, size, at + 4, end))
            return false;
        at = end;
    }
    return true;
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

// stb_image 2.27 also grows its buffer to the length a PNG chunk declares before
// reading it: a few bytes claiming 2 GiB allocate 2 GiB. A chunk that runs past
// the end of the file is refused first (stb_image would fail on it in the end).
bool pngChunksFit(const unsigned char* data, size_t size) {
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 8 || memcmp(data, kSignature, 8) != 0)
        return true; // not a PNG
    for (size_t at = 8; at + 8 <= size;) {
        size_t length = size_t(data[at]) << 24 | data[at + 1] << 16 | data[at + 2] << 8 | data[at + 3];
        if (memcmp(data + at + 4, "IEND", 4) == 0)
            return true; // read no further, checksum included
        if (length > size - at - 8 || size - at - 8 - length < 4)
            return false;
        at += 12 + length;
    }
    return true;
}

bool decodeWithStb(const unsigned char* data, size_t size, DecodedBitmap* out, long long maxPixels) {
    if (size > INT_MAX || !jpegTablesFit(data, size) || !pngChunksFit(data, size))
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
