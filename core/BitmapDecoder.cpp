#include "core/BitmapDecoder.h"

#include "core/ReadWholeFile.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace {

const size_t kFileHeaderBytes = 14;
const size_t kCoreHeaderBytes = 12; // OS/2 1.x: 16-bit sizes, 3-byte palette entries
const size_t kInfoHeaderBytes = 40; // and its larger successors (52, 56, 64, 108, 124)
const size_t kMasksOffset = 54;     // red, green, blue masks after (or inside) a long header
const uint32_t kRgb = 0, kBitfields = 3, kAlphaBitfields = 6;

uint32_t u16(const unsigned char* p) {
    return p[0] | p[1] << 8;
}
uint32_t u32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// One colour channel of a packed pixel, widened or narrowed to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    bool set(uint32_t m) {
        mask = m;
        shift = bits = 0;
        if (!m)
            return true;
        while (!((m >> shift) & 1))
            ++shift;
        uint32_t field = m >> shift;
        while (bits < 32 && ((field >> bits) & 1))
            ++bits;
        return bits == 32 || (field >> bits) == 0; // contiguous masks only
    }
    unsigned char extract(uint32_t pixel) const {
        if (!mask)
            return 0;
        uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8)
            return static_cast<unsigned char>(v >> (bits - 8));
        uint32_t max = (1u << bits) - 1;
        return static_cast<unsigned char>((v * 255 + max / 2) / max);
    }
};

// What the headers say, checked against the buffer.
struct Layout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitCount = 0;
    bool packed = false; // 16 bits, or 32 with masks: channels through `channels`
    Channel channels[3]; // blue, green, red
    const unsigned char* palette = nullptr;
    size_t paletteEntryBytes = 0;
    size_t paletteCount = 0;
    const unsigned char* rows = nullptr; // first row in file order
    size_t rowBytes = 0;
};

bool readMasks(const unsigned char* data, size_t size, uint32_t compression, int bitCount, Layout* l) {
    uint32_t red = 0x7C00, green = 0x03E0, blue = 0x001F; // 16-bit default: 5-5-5
    if (compression != kRgb) {
        if (kMasksOffset + 12 > size)
            return false;
        red = u32(data + kMasksOffset);
        green = u32(data + kMasksOffset + 4);
        blue = u32(data + kMasksOffset + 8);
    }
    l->packed = bitCount == 16 || compression != kRgb;
    return l->channels[0].set(blue) && l->channels[1].set(green) && l->channels[2].set(red);
}

bool parseLayout(const unsigned char* data, size_t size, Layout* l) {
    if (size < kFileHeaderBytes + 4 || data[0] != 'B' || data[1] != 'M')
        return false;
    uint32_t pixelOffset = u32(data + 10);
    uint32_t headerBytes = u32(data + kFileHeaderBytes);
    if (headerBytes > size - kFileHeaderBytes)
        return false;
    const unsigned char* h = data + kFileHeaderBytes;
    int64_t width, height;
    uint32_t planes, compression = kRgb, colorsUsed = 0;
    if (headerBytes == kCoreHeaderBytes) {
        width = u16(h + 4);
        height = u16(h + 6);
        planes = u16(h + 8);
        l->bitCount = static_cast<int>(u16(h + 10));
        l->paletteEntryBytes = 3;
    } else if (headerBytes >= kInfoHeaderBytes) {
        width = static_cast<int32_t>(u32(h + 4));
        height = static_cast<int32_t>(u32(h + 8));
        planes = u16(h + 12);
        l->bitCount = static_cast<int>(u16(h + 14));
        compression = u32(h + 16);
        colorsUsed = u32(h + 32);
        l->paletteEntryBytes = 4;
    } else {
        return false;
    }
    if (planes != 1)
        return false;
    l->topDown = height < 0;
    if (height < 0)
        height = -height;
    if (width < 1 || width > kMaxBitmapSide || height < 1 || height > kMaxBitmapSide)
        return false;
    l->width = static_cast<int>(width);
    l->height = static_cast<int>(height);

    const int bits = l->bitCount;
    bool indexed = bits == 1 || bits == 4 || bits == 8;
    if (!indexed && bits != 16 && bits != 24 && bits != 32)
        return false;
    // Run-length, JPEG and PNG payloads are not decoded.
    bool masked = compression == kBitfields || compression == kAlphaBitfields;
    if (compression != kRgb && !(masked && (bits == 16 || bits == 32)))
        return false;
    if ((bits == 16 || bits == 32) && !readMasks(data, size, compression, bits, l))
        return false;

    // Masks that follow a plain 40-byte header come before the palette.
    size_t tableStart = kFileHeaderBytes + headerBytes;
    if (headerBytes == kInfoHeaderBytes && masked)
        tableStart += compression == kBitfields ? 12 : 16;
    if (pixelOffset < tableStart || pixelOffset > size)
        return false;
    if (indexed) {
        size_t declared = colorsUsed ? colorsUsed : 1u << bits;
        size_t room = (pixelOffset - tableStart) / l->paletteEntryBytes;
        l->paletteCount = declared < room ? declared : room;
        l->palette = data + tableStart;
    }
    // At most 16384 pixels of 32 bits times 16384 rows: no overflow in 64 bits.
    l->rowBytes = (static_cast<uint64_t>(l->width) * bits + 31) / 32 * 4;
    uint64_t pixelBytes = static_cast<uint64_t>(l->rowBytes) * l->height;
    if (pixelBytes > size - pixelOffset)
        return false; // truncated
    l->rows = data + pixelOffset;
    return true;
}

void writePixel(const Layout& l, const unsigned char* row, int x, unsigned char* bgr) {
    const int bits = l.bitCount;
    if (bits <= 8) {
        size_t bit = static_cast<size_t>(x) * bits;
        unsigned index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        if (index < l.paletteCount) {
            memcpy(bgr, l.palette + index * l.paletteEntryBytes, 3);
        } else {
            bgr[0] = bgr[1] = bgr[2] = 0; // outside a short palette
        }
    } else if (l.packed) {
        uint32_t pixel = bits == 16 ? u16(row + x * 2) : u32(row + x * 4);
        for (int c = 0; c < 3; ++c)
            bgr[c] = l.channels[c].extract(pixel);
    } else {
        memcpy(bgr, row + x * (bits / 8), 3); // 24 bits, or 32 bits as B, G, R, unused
    }
}

} // namespace

bool decodeBitmap(const unsigned char* data, size_t size, DecodedBitmap* out) {
    Layout l;
    if (!data || !parseLayout(data, size, &l))
        return false;
    size_t rowBytes = (static_cast<size_t>(l.width) * 3 + 3) / 4 * 4;
    std::unique_ptr<unsigned char[]> pixels(new (std::nothrow) unsigned char[rowBytes * l.height]());
    if (!pixels)
        return false;
    for (int r = 0; r < l.height; ++r) {
        const unsigned char* src = l.rows + static_cast<size_t>(r) * l.rowBytes;
        unsigned char* dst = pixels.get() + static_cast<size_t>(l.topDown ? l.height - 1 - r : r) * rowBytes;
        if (l.bitCount == 24) {
            memcpy(dst, src, rowBytes); // same padded width as the file's rows
            continue;
        }
        for (int x = 0; x < l.width; ++x)
            writePixel(l, src, x, dst + static_cast<size_t>(x) * 3);
    }
    out->width = l.width;
    out->height = l.height;
    out->rowBytes = rowBytes;
    out->pixels = std::move(pixels);
    return true;
}

bool loadBitmapFile(const char* path, DecodedBitmap* out) {
    // The largest acceptable bitmap: 16384 x 16384 at 32 bits, plus headers.
    const size_t maxBytes = static_cast<size_t>(kMaxBitmapSide) * kMaxBitmapSide * 4 + (1u << 20);
    size_t size = 0;
    std::unique_ptr<char[]> bytes(readWholeFile(path, maxBytes, &size, allocateCharArray));
    return bytes && decodeBitmap(reinterpret_cast<const unsigned char*>(bytes.get()), size, out);
}
