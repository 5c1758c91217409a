#include "text.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace content {

namespace {

FT_Library g_library = nullptr;
FT_Face g_faces[5] = {};

FT_Face face_for(Font font, int pixels) {
    FT_Face face = g_faces[int(font)];
    FT_Set_Pixel_Sizes(face, 0, pixels);
    return face;
}

} // namespace

const char* font_file(Font font) {
    switch (font) {
    case Font::Sans:
        return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    case Font::SansBold:
        return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    case Font::Serif:
        return "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";
    case Font::SerifBold:
        return "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";
    case Font::TitleItalic:
        return "/usr/share/fonts/truetype/liberation2/LiberationSerif-BoldItalic.ttf";
    }
    return "";
}

int open_fonts() {
    if (FT_Init_FreeType(&g_library) != 0) return 0;
    for (int i = 0; i < 5; ++i)
        if (FT_New_Face(g_library, font_file(Font(i)), 0, &g_faces[i]) != 0) return 0;
    return 1;
}

void close_fonts() {
    for (FT_Face& face : g_faces)
        if (face) FT_Done_Face(face), face = nullptr;
    if (g_library) FT_Done_FreeType(g_library), g_library = nullptr;
}

int ascent(Font font, int pixels) {
    FT_Face face = face_for(font, pixels);
    return int(face->size->metrics.ascender >> 6);
}

int text_width(Font font, int pixels, const std::string& text) {
    FT_Face face = face_for(font, pixels);
    long pen = 0;
    for (unsigned char c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) != 0) continue;
        pen += face->glyph->advance.x;
    }
    return int((pen + 63) >> 6);
}

TextMask render_text(Font font, int pixels, const std::string& text) {
    FT_Face face = face_for(font, pixels);
    TextMask mask;
    int asc = int(face->size->metrics.ascender >> 6) + 2;
    int desc = int(-face->size->metrics.descender >> 6) + 2;
    mask.width = text_width(font, pixels, text) + 4;
    mask.height = asc + desc;
    mask.baseline = asc;
    mask.alpha.assign(size_t(mask.width) * mask.height, 0);
    long pen = 0;
    for (unsigned char c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0) continue;
        FT_GlyphSlot g = face->glyph;
        int gx = int(pen >> 6) + g->bitmap_left + 1;
        int gy = mask.baseline - g->bitmap_top;
        for (unsigned row = 0; row < g->bitmap.rows; ++row)
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                int x = gx + int(col), y = gy + int(row);
                if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) continue;
                uint8_t a = g->bitmap.buffer[row * g->bitmap.pitch + col];
                uint8_t& dst = mask.alpha[size_t(y) * mask.width + x];
                dst = std::max(dst, a);
            }
        pen += g->advance.x;
    }
    return mask;
}

namespace {

// Alpha of the mask grown by radius r (the outline's coverage).
int dilated(const TextMask& m, int x, int y, int r) {
    int best = 0;
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            if (dx * dx + dy * dy > r * r + r) continue;
            best = std::max(best, m.at(x + dx, y + dy));
        }
    return best;
}

void composite(Image& img, const TextMask& m, int ox, int oy, const TextStyle& s) {
    int r = s.outline;
    for (int y = -r - 1; y < m.height + r + 1 + s.shadow; ++y)
        for (int x = -r - 1; x < m.width + r + 1 + s.shadow; ++x) {
            if (s.shadow) {
                int a = r ? dilated(m, x - s.shadow, y - s.shadow, r)
                          : m.at(x - s.shadow, y - s.shadow);
                if (a) img.blend(ox + x, oy + y, s.shadow_colour, a / 255.0 * 0.8);
            }
            if (r) {
                int a = dilated(m, x, y, r);
                if (a) img.blend(ox + x, oy + y, s.outline_colour, a / 255.0);
            }
            int a = m.at(x, y);
            if (a) img.blend(ox + x, oy + y, s.colour, a / 255.0);
        }
}

} // namespace

void draw_text(Image& img, const TextStyle& style, int x, int y, const std::string& text,
               Align align) {
    if (text.empty()) return;
    TextMask m = render_text(style.font, style.pixels, text);
    int w = m.width - 4;
    int left = align == Align::Left ? x : align == Align::Centre ? x - w / 2 : x - w;
    composite(img, m, left - 1, y - m.baseline, style);
}

namespace {

std::vector<std::string> wrap(const TextStyle& style, int width, const std::string& paragraph) {
    std::vector<std::string> lines;
    std::istringstream words(paragraph);
    std::string word, line;
    while (words >> word) {
        std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && text_width(style.font, style.pixels, candidate) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = candidate;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

} // namespace

int draw_paragraphs(Image& img, const TextStyle& style, int x, int y, int width, int line_height,
                    const std::string& text, Align align) {
    std::istringstream in(text);
    std::string paragraph;
    int anchor = align == Align::Left ? x : align == Align::Centre ? x + width / 2 : x + width;
    while (std::getline(in, paragraph)) {
        if (paragraph.empty()) {
            y += line_height / 2;
            continue;
        }
        for (const std::string& line : wrap(style, width, paragraph)) {
            draw_text(img, style, anchor, y, line, align);
            y += line_height;
        }
    }
    return y;
}

} // namespace content
