// The seven fonts, the current font and both text functions.
#include "zq_test_support.h"

#include "zq.h"

namespace {

class Fonts : public zqtest::ZqTest {
protected:
    void SetUp() override {
        ZqTest::SetUp();
        window_ = MakeWindow(320, 240, 20, 20);
        ASSERT_EQ(ZQInitDirectX(window_, 320, 240), 1);
        ASSERT_EQ(ZQGetDisplayBPP(), 16u);
        ZQGetDDInfo(nullptr, &back_);
    }
    void Fill(uint32_t rgb) {
        zqtest::FillPixels(back_, [&](int, int) -> uint32_t { return zqtest::To565(rgb); });
    }
    HWND window_ = nullptr;
    IDirectDrawSurface* back_ = nullptr;
};

// The height GDI gives an Arial font made like the library's.
unsigned long ArialHeight(int units) {
    HFONT font =
        CreateFontA(units, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_STROKE_PRECIS,
                    CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return static_cast<unsigned long>(metrics.tmHeight);
}

TEST_F(Fonts, StartsOnTheFourteenUnitFontAndSwitchesOnlyAmongTheSeven) {
    ZQInitFont(window_);
    EXPECT_EQ(ZQGetFont(), ZQ_FONT_14);
    EXPECT_EQ(ZQGetFontHeight(), ArialHeight(14));
    EXPECT_GT(ZQGetCharWidth(), 0u);
    EXPECT_EQ(ZQSetFont(static_cast<_fontTypes_e>(7)), ZQ_FONT_14);
    EXPECT_EQ(ZQSetFont(static_cast<_fontTypes_e>(-2)), ZQ_FONT_14);
    EXPECT_EQ(ZQGetFont(), ZQ_FONT_14);
    EXPECT_EQ(ZQSetFont(ZQ_FONT_24), ZQ_FONT_14);
    EXPECT_EQ(ZQGetFont(), ZQ_FONT_24);
    EXPECT_EQ(ZQGetFontHeight(), ArialHeight(24));
    EXPECT_GT(ArialHeight(24), ArialHeight(14));
    // Freeing twice is harmless; afterwards the type no longer changes.
    ZQFreeFont();
    ZQFreeFont();
    EXPECT_EQ(ZQSetFont(ZQ_FONT_36), ZQ_FONT_24);
    EXPECT_EQ(ZQGetFont(), ZQ_FONT_24);
}

TEST_F(Fonts, DrawnTextIsInItsColourOverAnUntouchedBackground) {
    ZQInitFont(window_);
    Fill(0x0000FF);
    ASSERT_EQ(ZQDrawText(back_, "Wreck", 10, 10, 0x000000FF, ZQ_FONT_24), 1);
    const std::vector<uint32_t> pixels = zqtest::ReadPixels(back_);
    int red = 0, blue = 0, outside = 0;
    for (int i = 0; i < 320 * 240; ++i) {
        const int x = i % 320, y = i / 320;
        if (x < 10 || x >= 110 || y < 10 || y >= 50)
            outside += pixels[i] != 0x001F;
        else
            red += pixels[i] == 0xF800, blue += pixels[i] == 0x001F;
    }
    EXPECT_GT(red, 30);
    EXPECT_GT(blue, red); // the background between the letters is left alone
    EXPECT_EQ(outside, 0);
}

TEST_F(Fonts, TypeMinusOneIsTheCurrentFont) {
    ZQInitFont(window_);
    ZQSetFont(ZQ_FONT_36);
    auto draw = [&](_fontTypes_e type) {
        Fill(0x000000);
        EXPECT_EQ(ZQDrawText(back_, "Ag", 5, 5, 0x00FFFFFF, type), 1);
        return zqtest::ReadPixels(back_);
    };
    EXPECT_EQ(draw(ZQ_FONT_CURRENT), draw(ZQ_FONT_36));
    EXPECT_NE(draw(ZQ_FONT_CURRENT), draw(ZQ_FONT_8));
    EXPECT_EQ(ZQDrawText(back_, "Ag", 5, 5, 0, static_cast<_fontTypes_e>(9)), 0);
    EXPECT_EQ(ZQDrawText(nullptr, "Ag", 5, 5, 0, ZQ_FONT_8), 0);
}

TEST_F(Fonts, PrintedStringPaintsItsBackground) {
    Fill(0x0000FF);
    ASSERT_EQ(ZQPrintString("12.34", 40, 0), 1);
    const std::vector<uint32_t> pixels = zqtest::ReadPixels(back_);
    EXPECT_NE(pixels[40], 0x001Fu); // the top-left of the text cell is painted
    EXPECT_EQ(pixels[39], 0x001Fu);
    EXPECT_GT(std::count(pixels.begin(), pixels.end(), zqtest::To565(0xFF8080)), 10);
    ZQFreeDirectX();
    EXPECT_EQ(ZQPrintString("12.34", 40, 0), 0); // no back buffer
}

} // namespace
