#include "text_test_support.h"

#include "ui/pictures/redraw_list.h"
#include "zq.h"

#include <ludora/harness_window.h>

#include "tests/support/surface_pixels.h"

#include "tests/support/test_window.h"

namespace texttest {

int GlyphLeft(const std::vector<int>& widths, int j) {
    int left = 2;
    for (int i = 0; i < j; ++i)
        left += widths[size_t(i)] + 1;
    return left;
}

Picture FontPicture(const std::vector<int>& widths, int height, uint32_t colour) {
    const int total = GlyphLeft(widths, int(widths.size())) + 1;
    Picture picture(total, height, testkit::Blue);
    for (size_t j = 0; j < widths.size(); ++j)
        picture.Fill(GlyphLeft(widths, int(j)), 0, widths[j], height,
                     testkit::Rgb::FromPacked(colour));
    return picture;
}

Picture DigitStrip(int cellWidth, int height) {
    Picture picture(cellWidth * 10, height, testkit::Blue);
    for (int d = 0; d < 10; ++d)
        picture.Fill(d * cellWidth, 0, cellWidth, d + 1, testkit::White);
    return picture;
}

void TextTest::SetUp() {
    scratch_ = std::make_unique<testkit::WorkingFolder>("text");
    ASSERT_TRUE(scratch_->Made());
    folder_ = scratch_->path;

    HWND window = testkit::MakeTestWindow("text test", 640, 480);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(ZQInitDirectX(window, 640, 480), 1);
}

void TextTest::TearDown() {
    g_RedrawList.Reset();
    for (IDirectDrawSurface* surface : targets_)
        surface->Release();
    ZQFreeDirectX();
    LudoraResetWindows();
    scratch_.reset();
}

IDirectDrawSurface* TextTest::MakeTarget(int width, int height) {
    IDirectDrawSurface* surface = testkit::MakeSurface(ZQGetLPDD(), width, height, 16);
    EXPECT_NE(surface, nullptr);
    if (surface == nullptr) return nullptr;
    testkit::FillSurface(surface, 0);
    targets_.push_back(surface);
    return surface;
}

uint32_t TextTest::PixelAt(IDirectDrawSurface* surface, int x, int y) {
    const testkit::LockedSurface lock(surface);
    if (!lock.ok) return 0xFFFFFFFF;
    const uint32_t value = lock.Inside(x, y) ? lock.Get(x, y) & 0xFFFF : 0;
    const uint32_t r = (value >> 11) & 0x1F, g = (value >> 5) & 0x3F, b = value & 0x1F;
    return (r * 255 / 31) << 16 | (g * 255 / 63) << 8 | (b * 255 / 31);
}

std::pair<int, int> TextTest::InkSpan(IDirectDrawSurface* surface, int y, int x0) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    surface->GetSurfaceDesc(&desc);
    int first = -1, last = -1;
    for (int x = x0; x < int(desc.dwWidth); ++x) {
        if (PixelAt(surface, x, y) != 0) {
            if (first < 0) first = x;
            last = x;
        }
    }
    return {first, last};
}

int TextTest::InkHeight(IDirectDrawSurface* surface, int x) {
    int rows = 0;
    while (rows < 4096 && PixelAt(surface, x, rows) != 0)
        ++rows;
    return rows;
}

} // namespace texttest
