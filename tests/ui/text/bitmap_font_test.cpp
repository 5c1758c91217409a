// Fonts cut from a row of glyphs on blue: slicing, measures, and where the
// characters land when drawn.
#include "text_test_support.h"

#include "ui/text/bitmap_font.h"

namespace {

using texttest::FontPicture;
using texttest::GlyphLeft;

// Glyph widths 2..5 in turn; "#" (the third glyph) is the widest at 19.
std::vector<int> Widths() {
    std::vector<int> widths;
    for (int j = 0; j < 94; ++j)
        widths.push_back(2 + j % 4);
    widths[2] = 19;
    return widths;
}

int Width(char c) {
    return Widths()[size_t(c - '!')];
}

class BitmapFonts : public texttest::TextTest {};

TEST_F(BitmapFonts, SlicingMeasuresGlyphsSpaceAndGap) {
    WriteBmp("font.bmp", FontPicture(Widths(), 12, texttest::White));
    BitmapFont font;
    ASSERT_EQ(font.Load("font.bmp"), 1);
    EXPECT_EQ(font.height, 12);
    // Widest glyph 19: a space is 19 * 0.5 = 9.5 and the gap 19 * 0.1 = 1.9, both cut.
    EXPECT_EQ(font.spaceWidth, 9);
    EXPECT_EQ(font.gap, 1);
    for (int j : {0, 1, 2, 50, 93}) {
        EXPECT_EQ(font.glyphs[j].start, GlyphLeft(Widths(), j)) << j;
        EXPECT_EQ(font.glyphs[j].width, Widths()[size_t(j)]) << j;
        EXPECT_EQ(font.glyphs[j].end, GlyphLeft(Widths(), j) + Widths()[size_t(j)]) << j;
    }
    EXPECT_EQ(font.CharWidth('A'), 1 + Width('A'));
    EXPECT_EQ(font.CharWidth(' '), 9);
    EXPECT_EQ(font.CharWidth(200), 9); // bytes above "~" advance like a space
    EXPECT_EQ(font.CharWidth('\t'), 9);
    EXPECT_EQ(font.TextWidth("A b"), 1 + Width('A') + 9 + 1 + Width('b'));
}

TEST_F(BitmapFonts, GlyphsWithBlueInsideAndWideSeparatorsSliceTheSame) {
    texttest::Picture picture = FontPicture(Widths(), 12, texttest::White);
    // A blue hole inside "#" does not split it: none of its columns is all blue.
    picture.Fill(GlyphLeft(Widths(), 2) + 5, 3, 4, 6, testkit::Blue);
    WriteBmp("holes.bmp", picture);
    BitmapFont font;
    ASSERT_EQ(font.Load("holes.bmp"), 1);
    EXPECT_EQ(font.glyphs[2].width, 19);
    EXPECT_EQ(font.glyphs[3].start, GlyphLeft(Widths(), 3));
}

TEST_F(BitmapFonts, TooFewGlyphsOrNoFileIsNoFont) {
    std::vector<int> short_widths = Widths();
    short_widths.pop_back(); // 93 glyphs
    WriteBmp("short.bmp", FontPicture(short_widths, 12, texttest::White));
    BitmapFont font;
    EXPECT_EQ(font.Load("short.bmp"), 0);
    EXPECT_EQ(font.Load("missing.bmp"), 0);
    // A font that failed draws nothing.
    IDirectDrawSurface* target = MakeTarget(200, 20);
    EXPECT_EQ(font.DrawChar(target, 'A', 10, 0), 0);
    EXPECT_EQ(font.DrawText(target, "AB", 10, 0, AlignLeft, -1), 1);
    EXPECT_EQ(InkSpan(target, 5).first, -1);
}

TEST_F(BitmapFonts, DrawingLeftRightAndClipped) {
    WriteBmp("font.bmp", FontPicture(Widths(), 12, texttest::White));
    BitmapFont font;
    ASSERT_EQ(font.Load("font.bmp"), 1);
    IDirectDrawSurface* target = MakeTarget(400, 40);

    // Right-aligned "42" at 300: the 2 starts at 300 - (gap + its width), the 4 left of it.
    EXPECT_EQ(font.DrawText(target, "42", 300, 0, AlignRight, -1), 1);
    const int twoLeft = 300 - (1 + Width('2'));
    const int fourLeft = twoLeft - (1 + Width('4'));
    EXPECT_EQ(InkSpan(target, 5).first, fourLeft);
    EXPECT_EQ(InkSpan(target, 5, fourLeft + Width('4')).first, twoLeft);
    EXPECT_EQ(InkSpan(target, 5).second, twoLeft + Width('2') - 1);

    // Left-aligned, a space advances without ink, returned advances add up.
    EXPECT_EQ(font.DrawChar(target, ' ', 0, 20), 9);
    EXPECT_EQ(font.DrawChar(target, 'A', 10, 20), 1 + Width('A'));
    EXPECT_EQ(font.DrawChar(target, 0x7F, 10, 20), 0);
    EXPECT_EQ(InkSpan(target, 25).first, 10);
    EXPECT_EQ(InkSpan(target, 25).second, 10 + Width('A') - 1);

    // Clipped: "AAAA" from 100 with the clip just where the third would end.
    IDirectDrawSurface* clipped = MakeTarget(400, 20);
    const int advance = 1 + Width('A');
    font.DrawText(clipped, "AAAA", 100, 0, AlignLeft, 100 + 3 * advance);
    // The third stops: pen + width reaches the clip exactly.
    EXPECT_EQ(InkSpan(clipped, 5).second, 100 + advance + Width('A') - 1);
    // Other alignments draw nothing.
    IDirectDrawSurface* none = MakeTarget(400, 20);
    font.DrawText(none, "AAAA", 100, 0, 2, -1);
    EXPECT_EQ(InkSpan(none, 5).first, -1);
}

TEST_F(BitmapFonts, LongTextIsDrawnUpTo255Characters) {
    WriteBmp("font.bmp", FontPicture(std::vector<int>(94, 1), 4, texttest::White));
    BitmapFont font;
    ASSERT_EQ(font.Load("font.bmp"), 1);
    EXPECT_EQ(font.gap, 0);
    IDirectDrawSurface* target = MakeTarget(600, 4);
    const std::string text(400, '!');
    font.DrawText(target, text.c_str(), 0, 0, AlignLeft, -1);
    EXPECT_EQ(InkSpan(target, 1).second, 254);
}

} // namespace
