#include "picture_fixture.h"

#include "ui/pictures/redraw_list.h"
#include "zq.h"

#include <ludora/harness_window.h>

#include <vector>

#include "tests/support/picture.h"

#include "tests/support/test_window.h"

namespace picturetest {

void WriteBmp(const std::string& path, int width, int height,
              const std::function<uint32_t(int, int)>& colour) {
    testkit::WriteBmp(path, width, height,
                      [&colour](int x, int y) { return testkit::Rgb::FromPacked(colour(x, y)); });
}

IDirectDrawSurface* MakeSurface(int width, int height) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface* surface = nullptr;
    IDirectDraw* dd = ZQGetLPDD();
    return dd != nullptr && SUCCEEDED(dd->CreateSurface(&desc, &surface, nullptr)) ? surface
                                                                                   : nullptr;
}

IDirectDrawSurface* MakeSurfaceOfDepth(int width, int height, int bits) {
    return testkit::MakeSurface(ZQGetLPDD(), width, height, bits);
}

std::pair<int, int> SizeOf(IDirectDrawSurface* surface) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (surface == nullptr || FAILED(surface->GetSurfaceDesc(&desc))) return {0, 0};
    return {static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight)};
}

int64_t SourceKey(IDirectDrawSurface* surface) {
    DDCOLORKEY key = {};
    if (surface == nullptr || FAILED(surface->GetColorKey(DDCKEY_SRCBLT, &key))) return -1;
    return key.dwColorSpaceLowValue;
}

void PictureTest::SetUp() {
    scratch_ = std::make_unique<testkit::WorkingFolder>("pictures");
    ASSERT_TRUE(scratch_->Made());
    folder_ = scratch_->path;

    window_ = testkit::MakeTestWindow("pictures test", ScreenWidth, ScreenHeight);
    ASSERT_NE(window_, nullptr);
    testkit::PumpMessages();
    ASSERT_EQ(ZQInitDirectX(window_, ScreenWidth, ScreenHeight), 1);
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof format;
    ASSERT_NE(BackBuffer(), nullptr);
    BackBuffer()->GetPixelFormat(&format);
    // Every expected value below is worked out for 5-6-5.
    ASSERT_EQ(format.dwRGBBitCount, 16u);
    ASSERT_EQ(format.dwRBitMask, 0xF800u);
    ASSERT_EQ(format.dwGBitMask, 0x07E0u);
    ASSERT_EQ(format.dwBBitMask, 0x001Fu);
    g_RedrawList.Reset();
}

void PictureTest::TearDown() {
    g_RedrawList.Reset();
    ZQFreeDirectX();
    LudoraResetWindows();
    scratch_.reset();
}

IDirectDrawSurface* PictureTest::BackBuffer() const {
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* back = nullptr;
    ZQGetDDInfo(&primary, &back);
    return back;
}

} // namespace picturetest
