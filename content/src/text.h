// Text from free fonts through FreeType: measured, drawn anti-aliased, outlined or shadowed.
#pragma once

#include <string>
#include <vector>

#include "image.h"

namespace content {

enum class Font { Sans, SansBold, Serif, SerifBold, TitleItalic };

// The font files the pictures are drawn with (for the credits).
const char* font_file(Font font);

// Opens FreeType and every font; 0 when a font file is missing.
int open_fonts();
void close_fonts();

// Coverage of one string: alpha 0..255, baseline at row `baseline`.
struct TextMask {
    int width = 0, height = 0, baseline = 0;
    std::vector<uint8_t> alpha;
    int at(int x, int y) const {
        return (x < 0 || y < 0 || x >= width || y >= height) ? 0 : alpha[size_t(y) * width + x];
    }
};

TextMask render_text(Font font, int pixels, const std::string& text);
int text_width(Font font, int pixels, const std::string& text);
int ascent(Font font, int pixels);

struct TextStyle {
    Font font = Font::Sans;
    int pixels = 16;
    Colour colour = 0;
    int outline = 0; // radius in pixels; 0 for none
    Colour outline_colour = 0;
    int shadow = 0; // offset down-right in pixels; 0 for none
    Colour shadow_colour = 0;
};

enum class Align { Left, Centre, Right };

// Draws one line whose baseline is at y; x is the left edge, centre or right edge.
void draw_text(Image& img, const TextStyle& style, int x, int y, const std::string& text,
               Align align = Align::Left);

// Draws text wrapped into lines of at most `width` pixels; "\n" starts a new paragraph.
// Returns the baseline y after the last line.
int draw_paragraphs(Image& img, const TextStyle& style, int x, int y, int width, int line_height,
                    const std::string& text, Align align = Align::Left);

} // namespace content
