#include "bitmap_font.h"

#include <algorithm>
#include <string>

namespace content {

namespace {

struct GlyphCell {
    std::vector<Colour> pixels; // height rows of width columns; kKey where empty
    int width = 0;
};

} // namespace

BitmapFont make_bitmap_font(const BitmapFontStyle& style) {
    const int r = style.outline;
    std::vector<GlyphCell> cells;
    int mask_height = 0, top = 1 << 20, bottom = -1;
    for (int c = 33; c <= 126; ++c) {
        TextMask m = render_text(style.font, style.pixels, std::string(1, char(c)));
        mask_height = m.height + 2 * r;
        GlyphCell cell;
        int w = m.width + 2 * r;
        std::vector<Colour> full(size_t(w) * mask_height, kKey);
        for (int y = 0; y < mask_height; ++y)
            for (int x = 0; x < w; ++x) {
                int a = m.at(x - r, y - r);
                int o = 0;
                if (r)
                    for (int dy = -r; dy <= r; ++dy)
                        for (int dx = -r; dx <= r; ++dx)
                            if (dx * dx + dy * dy <= r * r + r)
                                o = std::max(o, m.at(x - r + dx, y - r + dy));
                if (std::max(a, o) < 80)
                    continue; // faint edges would show as a halo off their paper
                Colour p = r ? mix(style.paper, style.outline_colour, o / 255.0) : style.paper;
                full[size_t(y) * w + x] = mix(p, style.ink, a / 255.0);
            }
        // Trim empty columns on both sides.
        int left = w, right = -1;
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < mask_height; ++y)
                if (full[size_t(y) * w + x] != kKey)
                    left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
                    bottom = std::max(bottom, y);
        if (right < left)
            left = 0, right = 0; // cannot happen for printable glyphs; keep one column
        cell.width = right - left + 1;
        cell.pixels.assign(size_t(cell.width) * mask_height, kKey);
        for (int y = 0; y < mask_height; ++y)
            for (int x = 0; x < cell.width; ++x)
                cell.pixels[size_t(y) * cell.width + x] = full[size_t(y) * w + left + x];
        cells.push_back(std::move(cell));
    }
    const int height = bottom - top + 1;
    BitmapFont font;
    int total = 1;
    for (const GlyphCell& c : cells)
        total += c.width + 1;
    font.image = Image(total, height, kKey);
    int pen = 1;
    const int bridge_row = std::min(height - 1, height * 2 / 3);
    for (GlyphCell& c : cells) {
        for (int x = 0; x < c.width; ++x) {
            bool empty = true;
            for (int y = 0; y < height; ++y) {
                Colour p = c.pixels[size_t(y + top) * c.width + x];
                font.image.set(pen + x, y, p);
                empty = empty && p == kKey;
            }
            // A gap inside a glyph (between the marks of " or %) would split it in two: bridge it
            // with one pixel of its paper colour, which cannot be seen on that paper.
            if (empty)
                font.image.set(pen + x, bridge_row,
                               style.paper == kKey ? rgb(0, 0, 0) : style.paper);
        }
        font.widths.push_back(c.width);
        pen += c.width + 1;
    }
    return font;
}

Image digit_strip(const TextStyle& style, int frame_width, int frame_height, int baseline,
                  Colour paper) {
    std::vector<Image> frames;
    for (int d = 0; d < 10; ++d) {
        Image frame(frame_width, frame_height, paper);
        draw_text(frame, style, frame_width / 2, baseline, std::string(1, char('0' + d)),
                  Align::Centre);
        frames.push_back(std::move(frame));
    }
    return strip(frames);
}

} // namespace content
