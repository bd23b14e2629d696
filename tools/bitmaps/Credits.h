#pragma once
#include "tools/bitmaps/Font.h"
#include "tools/bitmaps/Image.h"

namespace bitmaps {

// Size of "textures\credits.bmp": twice as wide as tall, drawn about 1:1 on a
// 1024 x 768 window so the small lines stay readable.
constexpr int kCreditsWidth = 1024;
constexpr int kCreditsHeight = 512;

struct Fonts {
    Font regular;
    Font bold;
    Font mono;
};

// The show's name, what it is made with and the year: light text on black, which
// the credits shader takes as a glow mask as well as a colour.
Image credits(const Fonts& fonts);

// A screenful of source text, green on black, for the effect library.
Image codeListing(const Fonts& fonts);

} // namespace bitmaps
