// Bitmap fonts: the 94 characters "!" to "~" on one row, on the blue key, one blue column
// between glyphs and never a blue column inside one.
#pragma once

#include <vector>

#include "image.h"
#include "text.h"

namespace content {

struct BitmapFontStyle {
    Font font = Font::SansBold;
    int pixels = 18;
    Colour ink = 0;
    Colour paper = 0; // the background the font is drawn on: edges blend into it
    int outline = 0;
    Colour outline_colour = 0;
};

struct BitmapFont {
    Image image;
    std::vector<int> widths; // 94 glyph widths in character order
};

BitmapFont make_bitmap_font(const BitmapFontStyle& style);

// Ten digits in equal frames side by side, each centred in its frame on `paper` (the key for
// digits drawn over a picture, a solid colour for digits that must cover the ones before them).
Image digit_strip(const TextStyle& style, int frame_width, int frame_height, int baseline,
                  Colour paper = kKey);

} // namespace content
