#include "tools/bitmaps/Font.h"

#include "core/ErrorReport.h"
#include "core/ReadWholeFile.h"

#include <cmath>
#include <vector>

#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>

namespace bitmaps {

namespace {
constexpr size_t kMaxFontBytes = 64 << 20;
constexpr size_t kMinFontBytes = 12;
} // namespace

struct Font::State {
    stbtt_fontinfo info;
};

Font::Font() : state(new State()) {}
Font::~Font() = default;

bool Font::load(const std::string& path) {
    size_t length = 0;
    bytes.reset(readWholeFile(path.c_str(), kMaxFontBytes, &length, allocateCharArray));
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.get());
    // stb_truetype trusts the tables' offsets; a file too short for a header is refused here.
    int offset = data && length >= kMinFontBytes ? stbtt_GetFontOffsetForIndex(data, 0) : -1;
    if (offset < 0 || !stbtt_InitFont(&state->info, data, offset)) {
        reportError("Could not read the font %s\n", path.c_str());
        return false;
    }
    return true;
}

namespace {

// Code points of UTF-8 text; a sequence cut short by the end stands for its bytes.
std::vector<int> codepoints(const std::string& text) {
    std::vector<int> out;
    for (size_t i = 0; i < text.size();) {
        unsigned char b = (unsigned char)text[i];
        int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        if (extra > 0 && i + extra >= text.size()) {
            out.push_back(b);
            ++i;
            continue;
        }
        int c = extra ? b & (0x3F >> extra) : b;
        for (int k = 1; k <= extra; ++k)
            c = (c << 6) | ((unsigned char)text[i + k] & 0x3F);
        out.push_back(c);
        i += extra + 1;
    }
    return out;
}

} // namespace

float Font::width(const std::string& text, float pixelHeight) const {
    float scale = stbtt_ScaleForPixelHeight(&state->info, pixelHeight);
    std::vector<int> cps = codepoints(text);
    float x = 0;
    for (size_t i = 0; i < cps.size(); ++i) {
        int advance, bearing;
        stbtt_GetCodepointHMetrics(&state->info, cps[i], &advance, &bearing);
        x += advance * scale;
        if (i + 1 < cps.size())
            x += scale * stbtt_GetCodepointKernAdvance(&state->info, cps[i], cps[i + 1]);
    }
    return x;
}

void Font::draw(Image& image, const std::string& text, float left, float baseline, float pixelHeight,
                Rgb colour) const {
    const stbtt_fontinfo* info = &state->info;
    float scale = stbtt_ScaleForPixelHeight(info, pixelHeight);
    float x = left;
    int top = (int)std::floor(baseline);
    float shiftY = baseline - top;
    std::vector<int> cps = codepoints(text);
    for (size_t i = 0; i < cps.size(); ++i) {
        int c = cps[i];
        int advance, bearing;
        stbtt_GetCodepointHMetrics(info, c, &advance, &bearing);
        int x0 = (int)std::floor(x);
        int w, h, ox, oy;
        unsigned char* glyph =
            stbtt_GetCodepointBitmapSubpixel(info, scale, scale, x - x0, shiftY, c, &w, &h, &ox, &oy);
        for (int gy = 0; gy < h; ++gy)
            for (int gx = 0; gx < w; ++gx)
                image.blend(x0 + ox + gx, top + oy + gy, colour, glyph[gy * w + gx] / 255.0f);
        stbtt_FreeBitmap(glyph, nullptr);
        x += advance * scale;
        if (i + 1 < cps.size())
            x += scale * stbtt_GetCodepointKernAdvance(info, c, cps[i + 1]);
    }
}

void Font::drawCentred(Image& image, const std::string& text, float centre, float baseline, float pixelHeight,
                       Rgb colour) const {
    draw(image, text, centre - width(text, pixelHeight) / 2, baseline, pixelHeight, colour);
}

} // namespace bitmaps
