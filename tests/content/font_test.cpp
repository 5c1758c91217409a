// The launcher's bitmap fonts cut into 94 glyphs of the drawn widths and fit the fields and
// rows they are drawn in.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "content_files.h"

using namespace content_test;

namespace {

const char* const kFonts[] = {"n_font.bmp", "h_font.bmp", "HallBlackFont.bmp",
                              "HallPurpleFont.bmp"};

std::vector<int> drawn_widths(const std::string& font) {
    for (const std::string& line : read_lines(LUDORA_CONTENT_MANIFEST)) {
        std::istringstream in(line);
        std::string word, name;
        in >> word >> name;
        if (word != "font" || name != font) continue;
        std::vector<int> widths;
        for (int w; in >> w;)
            widths.push_back(w);
        return widths;
    }
    return {};
}

int text_width(const FontCut& cut, const std::string& text) {
    int w = 0;
    for (unsigned char c : text)
        w += (c < 33 || c > 126) ? cut.space_width : cut.gap + cut.widths[c - 33];
    return w;
}

} // namespace

TEST(BitmapFonts, CutIntoTheNinetyFourGlyphsAsDrawn) {
    for (const char* name : kFonts) {
        SCOPED_TRACE(name);
        Picture font = picture(name);
        FontCut cut = cut_font(font);
        ASSERT_TRUE(cut.ok) << "fewer than 94 glyphs found";
        std::vector<int> drawn = drawn_widths(name);
        ASSERT_EQ(drawn.size(), 94u) << "the generator's record of this font is missing";
        EXPECT_EQ(cut.widths, drawn);
        // Marks that stand apart (" % : ;) still come out as one glyph each.
        for (char c : std::string("\"%:;=!?ij"))
            EXPECT_GT(cut.widths[c - 33], 0) << c;
        EXPECT_GE(cut.gap, 1);
        EXPECT_GE(cut.space_width, 4);
    }
}

TEST(BitmapFonts, FitTheFieldsAndRowsTheyAreDrawnIn) {
    // Name fields are 26 high on the players page and 30 on the title page; hall rows 26 apart.
    for (const char* name : kFonts) {
        Picture font = picture(name);
        EXPECT_GE(font.height, 12) << name;
        EXPECT_LE(font.height, 26) << name;
    }
    Picture normal = picture("n_font.bmp"), highlight = picture("h_font.bmp");
    EXPECT_EQ(normal.height, highlight.height);
    Picture cursor = picture("blockcursor.bmp");
    EXPECT_EQ(cursor.height, normal.height);
    // A default player name fits a title-page field in either font.
    for (const Picture* font : {&normal, &highlight}) {
        FontCut cut = cut_font(*font);
        ASSERT_TRUE(cut.ok);
        EXPECT_LT(text_width(cut, "Player8"), 150);
        EXPECT_LT(text_width(cut, "Mary-Anne"), 150);
    }
}

TEST(BitmapFonts, GlyphsAreDrawnOnTheKeyWithNoStrayBlue) {
    for (const char* name : kFonts) {
        Picture font = picture(name);
        int ink = 0;
        for (uint32_t c : font.pixels)
            ink += c != kKey;
        EXPECT_GT(ink, 94 * 10) << name;
        // The first and last columns are key: nothing runs into the glyph scan's edges.
        for (int y = 0; y < font.height; ++y) {
            EXPECT_TRUE(font.keyed(0, y)) << name;
            EXPECT_TRUE(font.keyed(font.width - 1, y)) << name;
        }
    }
}
