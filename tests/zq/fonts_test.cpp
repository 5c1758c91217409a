// The seven fonts, the current font and both text functions.
#include "zq_test_support.h"

#include "display_state.h"
#include "surface_helpers.h"
#include "zq.h"

using zqtest::ZqTest;

namespace {

class Fonts : public ZqTest {
protected:
    void SetUp() override {
        ZqTest::SetUp();
        window_ = MakeWindow(320, 240, 20, 20);
        ASSERT_EQ(ZQInitDirectX(window_, 320, 240), 1);
        ZQGetDDInfo(nullptr, &back_);
        ASSERT_NE(back_, nullptr);
        DDSURFACEDESC desc;
        std::memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        back_->GetSurfaceDesc(&desc);
        format_ = desc.ddpfPixelFormat;
    }
    uint32_t Colour(uint32_t rgb) const {
        if (format_.dwRGBBitCount == 16) return zqtest::To565(rgb);
        return rgb;
    }
    void Fill(uint32_t rgb) {
        const uint32_t value = Colour(rgb);
        zqtest::FillPixels(back_, [&](int, int) { return value; });
    }
    HWND window_ = nullptr;
    IDirectDrawSurface* back_ = nullptr;
    DDPIXELFORMAT format_ = {};
};

// The height GDI gives a 14-unit Arial font like the library's.
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

TEST_F(Fonts, StartsOnTheFourteenUnitFontAndSwitchesOnlyToTheSeven) {
    ZQInitFont(window_);
    EXPECT_EQ(ZQGetFont(), ZQ_FONT_14);
    EXPECT_EQ(ZQGetFontHeight(), ArialHeight(14));
    EXPECT_GT(ZQGetCharWidth(), 0u);

    EXPECT_EQ(ZQSetFont(static_cast<_fontTypes_e>(7)), ZQ_FONT_14);
    EXPECT_EQ(ZQSetFont(static_cast<_fontTypes_e>(-2)), ZQ_FONT_14);
    EXPECT_EQ(ZQGetFont(), ZQ_FONT_14);
    EXPECT_EQ(ZQGetFontHeight(), ArialHeight(14));

    EXPECT_EQ(ZQSetFont(ZQ_FONT_24), ZQ_FONT_14);
    EXPECT_EQ(ZQGetFont(), ZQ_FONT_24);
    EXPECT_EQ(ZQGetFontHeight(), ArialHeight(24));
    EXPECT_GT(ArialHeight(24), ArialHeight(14));
    EXPECT_EQ(ZQSetFont(ZQ_FONT_8), ZQ_FONT_24);
    EXPECT_EQ(ZQGetFontHeight(), ArialHeight(8));

    // Freeing twice is harmless; afterwards the type no longer changes.
    ZQFreeFont();
    ZQFreeFont();
    EXPECT_EQ(ZQSetFont(ZQ_FONT_36), ZQ_FONT_8);
    EXPECT_EQ(ZQGetFont(), ZQ_FONT_8);
}

TEST_F(Fonts, DrawnTextIsInTheGivenColourOverAnUntouchedBackground) {
    ZQInitFont(window_);
    Fill(0x0000FF);
    ASSERT_EQ(ZQDrawText(back_, "Wreck", 10, 10, 0x000000FF, ZQ_FONT_24), 1);
    const std::vector<uint32_t> pixels = zqtest::ReadPixels(back_);
    int red = 0, blue = 0, other = 0, outside = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            const uint32_t pixel = pixels[y * 320 + x];
            const bool inBox = x >= 10 && x < 110 && y >= 10 && y < 10 + 40;
            if (!inBox && pixel != Colour(0x0000FF)) ++outside;
            if (!inBox) continue;
            if (pixel == Colour(0xFF0000))
                ++red;
            else if (pixel == Colour(0x0000FF))
                ++blue;
            else
                ++other;
        }
    }
    EXPECT_GT(red, 30);
    EXPECT_GT(blue, red); // the background between the letters is left alone
    EXPECT_EQ(outside, 0);
    EXPECT_LT(other, red * 2);
}

TEST_F(Fonts, TypeMinusOneIsTheCurrentFont) {
    ZQInitFont(window_);
    ZQSetFont(ZQ_FONT_36);
    Fill(0x000000);
    ASSERT_EQ(ZQDrawText(back_, "Ag", 5, 5, 0x00FFFFFF, ZQ_FONT_CURRENT), 1);
    const std::vector<uint32_t> current = zqtest::ReadPixels(back_);
    Fill(0x000000);
    ASSERT_EQ(ZQDrawText(back_, "Ag", 5, 5, 0x00FFFFFF, ZQ_FONT_36), 1);
    EXPECT_EQ(zqtest::ReadPixels(back_), current);
    Fill(0x000000);
    ASSERT_EQ(ZQDrawText(back_, "Ag", 5, 5, 0x00FFFFFF, ZQ_FONT_8), 1);
    EXPECT_NE(zqtest::ReadPixels(back_), current);

    EXPECT_EQ(ZQDrawText(back_, "Ag", 5, 5, 0, static_cast<_fontTypes_e>(9)), 0);
    EXPECT_EQ(ZQDrawText(nullptr, "Ag", 5, 5, 0, ZQ_FONT_8), 0);
}

TEST_F(Fonts, PrintedStringPaintsItsBackground) {
    Fill(0x0000FF);
    ASSERT_EQ(ZQPrintString("12.34", 40, 0), 1);
    const std::vector<uint32_t> pixels = zqtest::ReadPixels(back_);
    // The top-left of the text cell is background, now painted.
    EXPECT_NE(pixels[0 * 320 + 40], Colour(0x0000FF));
    EXPECT_EQ(pixels[0 * 320 + 39], Colour(0x0000FF));
    int pink = 0;
    for (uint32_t pixel : pixels)
        pink += pixel == Colour(0xFF8080);
    EXPECT_GT(pink, 10);

    ZQFreeDirectX();
    EXPECT_EQ(ZQPrintString("12.34", 40, 0), 0); // no back buffer
}

} // namespace
