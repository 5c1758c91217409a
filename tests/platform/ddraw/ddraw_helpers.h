// Small helpers for DirectDraw tests.
#pragma once

#include "display_fakes.h"

#include <ddraw.h>
#include <ludora/harness_video.h>

#include <gtest/gtest.h>

#include "tests/support/surface_pixels.h"

namespace ddraw_test {

// A DirectDraw object at the normal cooperative level of the fake window.
inline IDirectDraw* create_windowed() {
    IDirectDraw* dd = nullptr;
    EXPECT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    EXPECT_EQ(dd->SetCooperativeLevel(fake_window(), DDSCL_NORMAL), DD_OK);
    return dd;
}

inline DDPIXELFORMAT rgb_format(DWORD bits, DWORD r, DWORD g, DWORD b) {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(pf);
    pf.dwFlags = DDPF_RGB;
    pf.dwRGBBitCount = bits;
    pf.dwRBitMask = r;
    pf.dwGBitMask = g;
    pf.dwBBitMask = b;
    return pf;
}

inline DDPIXELFORMAT palettised_format() {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(pf);
    pf.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    pf.dwRGBBitCount = 8;
    return pf;
}

// An off-screen surface; `format` null takes the display's.
inline IDirectDrawSurface* create_surface(IDirectDraw* dd, int w, int h,
                                          const DDPIXELFORMAT* format = nullptr,
                                          DWORD caps = DDSCAPS_OFFSCREENPLAIN) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (format ? DDSD_PIXELFORMAT : 0);
    desc.dwWidth = w;
    desc.dwHeight = h;
    desc.ddsCaps.dwCaps = caps;
    if (format) desc.ddpfPixelFormat = *format;
    IDirectDrawSurface* s = nullptr;
    EXPECT_EQ(dd->CreateSurface(&desc, &s, nullptr), DD_OK);
    return s;
}

inline HRESULT fill(IDirectDrawSurface* s, DWORD colour, RECT* rect = nullptr) {
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = colour;
    return s->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

// The raw pixel at (x, y), read through Lock.
inline uint32_t pixel(IDirectDrawSurface* s, int x, int y) {
    return testkit::PixelAt(s, x, y);
}

inline void set_pixel(IDirectDrawSurface* s, int x, int y, uint32_t v) {
    RECT r{x, y, x + 1, y + 1};
    fill(s, v, &r);
}

} // namespace ddraw_test
