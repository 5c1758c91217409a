// Fonts and text: the height rules of CreateFontA, metrics, extents, placement of
// the text cell, colours and background modes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A white 32-bit canvas in a memory context.
struct Canvas32 {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    uint32_t* bits = nullptr;
    int width, height;
    HGDIOBJ old = nullptr;
    Canvas32(int w, int h) : width(w), height(h) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h; // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* p = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        for (int i = 0; i < w * h; ++i)
            bits[i] = 0xFFFFFF;
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bitmap);
    }
    ~Canvas32() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    uint32_t at(int x, int y) const { return bits[y * width + x]; }
};

HFONT arial(int height, int weight = FW_NORMAL) {
    return CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, ANSI_CHARSET, OUT_STROKE_PRECIS,
                       CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
}

TEST(Text, HeightsFollowCreateFontRules) {
    Canvas32 c(8, 8);
    TEXTMETRICA tm{};
    // The default font of a context is the bold system font, 16 pixels high.
    ASSERT_TRUE(GetTextMetricsA(c.dc, &tm));
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);

    for (int size : {8, 10, 12, 14, 16, 24, 36}) {
        HFONT cell = arial(size), character = arial(-size);
        SelectObject(c.dc, cell);
        GetTextMetricsA(c.dc, &tm);
        EXPECT_EQ(tm.tmHeight, size); // positive: the cell height
        EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
        EXPECT_GT(tm.tmAveCharWidth, 0);
        const LONG cell_height = tm.tmHeight;
        SelectObject(c.dc, character);
        GetTextMetricsA(c.dc, &tm);
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, size); // negative: the character height
        EXPECT_GT(tm.tmHeight, cell_height);
        SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
        EXPECT_TRUE(DeleteObject(cell));
        EXPECT_TRUE(DeleteObject(character));
    }
    // Arial 14 as Windows reports it: ascent 11 and descent 3; average width 6.
    HFONT f = arial(14);
    SelectObject(c.dc, f);
    GetTextMetricsA(c.dc, &tm);
    EXPECT_EQ(tm.tmAscent, 11);
    EXPECT_EQ(tm.tmDescent, 3);
    EXPECT_EQ(tm.tmAveCharWidth, 6);
    LOGFONTA lf{};
    EXPECT_EQ(GetObjectA(f, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

TEST(Text, ExtentsAddTheAdvancesOfTheCharacters) {
    Canvas32 c(8, 8);
    HFONT f = arial(16);
    SelectObject(c.dc, f);
    SIZE one{}, three{}, none{};
    ASSERT_TRUE(GetTextExtentPoint32A(c.dc, "0", 1, &one));
    ASSERT_TRUE(GetTextExtentPoint32A(c.dc, "000", 3, &three));
    ASSERT_TRUE(GetTextExtentPoint32A(c.dc, "", 0, &none));
    EXPECT_EQ(three.cx, 3 * one.cx);
    EXPECT_EQ(three.cy, 16);
    EXPECT_EQ(none.cx, 0);
    SIZE wide{}, narrow{};
    GetTextExtentPoint32A(c.dc, "WWW", 3, &wide);
    GetTextExtentPoint32A(c.dc, "iii", 3, &narrow);
    EXPECT_GT(wide.cx, narrow.cx);
    EXPECT_FALSE(GetTextExtentPoint32A(c.dc, "x", -1, &one));
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

TEST(Text, TextOutInksInsideTheCellAtXYInTheTextColour) {
    Canvas32 c(120, 60);
    HFONT f = arial(24);
    SelectObject(c.dc, f);
    TEXTMETRICA tm{};
    GetTextMetricsA(c.dc, &tm);
    SIZE extent{};
    GetTextExtentPoint32A(c.dc, "Hg8", 3, &extent);
    EXPECT_EQ(SetBkMode(c.dc, TRANSPARENT), OPAQUE); // contexts start opaque
    SetTextColor(c.dc, RGB(0, 0, 255));
    ASSERT_TRUE(TextOutA(c.dc, 30, 20, "Hg8", 3));
    int ink = 0, top = 1000, bottom = -1;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 120; ++x) {
            const uint32_t v = c.at(x, y);
            if (v == 0xFFFFFF) continue;
            ASSERT_EQ(v, 0x0000FFu) << x << "," << y; // no blended edges
            ASSERT_GE(x, 30);
            ASSERT_LT(x, 30 + extent.cx);
            ASSERT_GE(y, 20);
            ASSERT_LT(y, 20 + tm.tmHeight);
            ++ink;
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    EXPECT_GT(ink, 50);
    // Capitals start below the internal leading; the g descends below the baseline.
    EXPECT_LE(top, 20 + tm.tmAscent - 14);
    EXPECT_GT(bottom, 20 + tm.tmAscent);

    // Opaque: the whole cell takes the background colour where there is no ink.
    Canvas32 o(120, 60);
    SelectObject(o.dc, f);
    SetBkColor(o.dc, RGB(0, 0, 0));
    SetTextColor(o.dc, RGB(255, 128, 128));
    ASSERT_TRUE(TextOutA(o.dc, 30, 20, "Hg8", 3));
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 120; ++x) {
            const bool in_cell = x >= 30 && x < 30 + extent.cx && y >= 20 && y < 20 + tm.tmHeight;
            const uint32_t v = o.at(x, y);
            if (in_cell) {
                ASSERT_TRUE(v == 0 || v == 0xFF8080) << x << "," << y << " " << std::hex << v;
            } else {
                ASSERT_EQ(v, 0xFFFFFFu) << x << "," << y;
            }
        }
    }
    // Text running off the canvas is cut, not refused.
    EXPECT_TRUE(TextOutA(o.dc, 110, 50, "WWWW", 4));
    EXPECT_TRUE(TextOutA(o.dc, -500, -500, "W", 1));
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    SelectObject(o.dc, GetStockObject(SYSTEM_FONT));
    EXPECT_TRUE(DeleteObject(f));
}

} // namespace
