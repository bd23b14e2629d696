#pragma once
#include "tools/bitmaps/Image.h"

#include <memory>
#include <string>

namespace bitmaps {

// A TrueType font rasterised with stb_truetype: anti-aliased glyphs with their
// kerning, placed at sub-pixel positions.
class Font {
  public:
    // Reads the font file; false (with an "ERROR: " line) when it is missing or
    // not a font.
    bool load(const std::string& path);

    // Width in pixels of `text` (UTF-8) at `pixelHeight`.
    float width(const std::string& text, float pixelHeight) const;
    // Draws `text` with its baseline at y = `baseline`, starting at x = `left`.
    void draw(Image& image, const std::string& text, float left, float baseline, float pixelHeight,
              Rgb colour) const;
    // Draws `text` centred on x = `centre`.
    void drawCentred(Image& image, const std::string& text, float centre, float baseline, float pixelHeight,
                     Rgb colour) const;

    Font();
    ~Font();

  private:
    struct State;
    std::unique_ptr<char[]> bytes;
    std::unique_ptr<State> state;
};

} // namespace bitmaps
