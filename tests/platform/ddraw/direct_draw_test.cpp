// The DirectDraw object: creation, modes, capabilities, cooperative levels and
// reference counts.
#include "ddraw_helpers.h"

#include <cstdlib>
#include <vector>

using namespace ddraw_test;

namespace {

struct Mode {
    DWORD w, h, bits, red;
};

HRESULT WINAPI collect_mode(LPDDSURFACEDESC desc, LPVOID context) {
    static_cast<std::vector<Mode>*>(context)->push_back({desc->dwWidth, desc->dwHeight,
                                                         desc->ddpfPixelFormat.dwRGBBitCount,
                                                         desc->ddpfPixelFormat.dwRBitMask});
    return DDENUMRET_OK;
}

BOOL WINAPI collect_driver(GUID* guid, LPSTR description, LPSTR, LPVOID context) {
    auto* seen = static_cast<std::vector<std::string>*>(context);
    seen->push_back(std::string(guid ? "guid:" : "null:") + description);
    return TRUE;
}

TEST(DirectDraw, EnumeratesThePrimaryDriverAndReportsTheDesktopMode) {
    std::vector<std::string> drivers;
    EXPECT_EQ(DirectDrawEnumerateA(collect_driver, &drivers), DD_OK);
    ASSERT_EQ(drivers.size(), 1u);
    EXPECT_EQ(drivers[0].rfind("null:", 0), 0u);

    IDirectDraw* dd = create_windowed();
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(dd->GetDisplayMode(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 1024u);
    EXPECT_EQ(desc.dwHeight, 768u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0xF800u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwGBitMask, 0x07E0u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwBBitMask, 0x001Fu);

    std::vector<Mode> modes;
    ASSERT_EQ(dd->EnumDisplayModes(0, nullptr, &modes, collect_mode), DD_OK);
    auto has = [&](DWORD w, DWORD h, DWORD bits) {
        for (const Mode& m : modes) {
            if (m.w == w && m.h == h && m.bits == bits) return true;
        }
        return false;
    };
    for (DWORD bits : {8u, 16u, 32u}) {
        EXPECT_TRUE(has(640, 480, bits));
        EXPECT_TRUE(has(800, 600, bits));
    }
    EXPECT_TRUE(has(1024, 768, 16));
    EXPECT_LT(modes.size(), 100u);

    // A filter on the size lists that size alone.
    DDSURFACEDESC filter{};
    filter.dwSize = sizeof(filter);
    filter.dwFlags = DDSD_WIDTH | DDSD_HEIGHT;
    filter.dwWidth = 800;
    filter.dwHeight = 600;
    modes.clear();
    dd->EnumDisplayModes(0, &filter, &modes, collect_mode);
    EXPECT_EQ(modes.size(), 3u);
    EXPECT_EQ(dd->Release(), 0u);
}

TEST(DirectDraw, AFifteenBitDesktopIsFiveFiveFiveInDirectDrawAndSixteenBitsInGdi) {
    setenv("LUDORA_DESKTOP", "800x600x15", 1);
    IDirectDraw* dd = create_windowed();
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(dd->GetDisplayMode(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 800u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0x7C00u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwGBitMask, 0x03E0u);
    // Surfaces in the display's format take it too.
    IDirectDrawSurface* s = create_surface(dd, 4, 4);
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(pf);
    s->GetPixelFormat(&pf);
    EXPECT_EQ(pf.dwRBitMask, 0x7C00u);
    s->Release();
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 16);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 800);
    ReleaseDC(nullptr, screen);
    dd->Release();
    unsetenv("LUDORA_DESKTOP");
}

TEST(DirectDraw, CapabilitiesUseTheDirectX5LayoutWithPlausibleVideoMemory) {
    IDirectDraw* dd = create_windowed();
    DDCAPS driver{}, emulation{};
    driver.dwSize = emulation.dwSize = 364;
    ASSERT_EQ(dd->GetCaps(&driver, &emulation), DD_OK);
    EXPECT_EQ(driver.dwSize, 364u);
    EXPECT_TRUE(driver.dwCaps & DDCAPS_BLT);
    EXPECT_TRUE(driver.dwCaps & DDCAPS_COLORKEY);
    EXPECT_FALSE(driver.dwCaps & DDCAPS_3D);
    EXPECT_GE(driver.dwVidMemTotal, 4u * 1024 * 1024);
    EXPECT_EQ(driver.dwVidMemFree, driver.dwVidMemTotal);
    DDCAPS wrong{};
    wrong.dwSize = 100;
    EXPECT_EQ(dd->GetCaps(&wrong, nullptr), DDERR_INVALIDPARAMS);

    // IDirectDraw2 shares the object; video memory shrinks by what surfaces take.
    IDirectDraw2* dd2 = nullptr;
    ASSERT_EQ(dd->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&dd2)), DD_OK);
    DDSCAPS caps{DDSCAPS_TEXTURE};
    DWORD total = 0, free_before = 0, free_after = 0;
    ASSERT_EQ(dd2->GetAvailableVidMem(&caps, &total, &free_before), DD_OK);
    EXPECT_EQ(total, driver.dwVidMemTotal);
    IDirectDrawSurface* s = create_surface(dd, 100, 100, nullptr, DDSCAPS_VIDEOMEMORY);
    dd2->GetAvailableVidMem(&caps, &total, &free_after);
    EXPECT_LE(free_after, free_before - 100 * 100 * 2);
    s->Release();
    dd2->GetAvailableVidMem(&caps, &total, &free_after);
    EXPECT_EQ(free_after, free_before);
    EXPECT_EQ(dd2->Release(), 1u);
    EXPECT_EQ(dd->Release(), 0u);
}

TEST(DirectDraw, CooperativeLevelsAndModeChanges) {
    IDirectDraw* dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface* s = nullptr;
    EXPECT_EQ(dd->CreateSurface(&desc, &s, nullptr), DDERR_NOCOOPERATIVELEVELSET);
    EXPECT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
    EXPECT_EQ(dd->SetCooperativeLevel(fake_window(), DDSCL_NORMAL | DDSCL_EXCLUSIVE),
              DDERR_INVALIDPARAMS);
    ASSERT_EQ(dd->SetCooperativeLevel(fake_window(),
                                      DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWREBOOT),
              DD_OK);
    EXPECT_EQ(dd->SetDisplayMode(801, 600, 16), DDERR_INVALIDMODE);
    EXPECT_EQ(dd->SetDisplayMode(320, 240, 8), DD_OK); // Mode X
    ASSERT_EQ(dd->SetDisplayMode(800, 600, 16), DD_OK);
    dd->GetDisplayMode(&desc);
    EXPECT_EQ(desc.dwWidth, 800u);
    // GDI sees the new mode too.
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 800);
    EXPECT_EQ(dd->RestoreDisplayMode(), DD_OK);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 1024);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(dd->Release(), 0u);

    IDirectDraw* other = nullptr;
    GUID unknown{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(DirectDrawCreate(&unknown, &other, nullptr), DDERR_INVALIDDIRECTDRAWGUID);
    EXPECT_EQ(other, nullptr);
}

TEST(DirectDraw, ReferenceCountsOfSurfacesPalettesAndClippers) {
    IDirectDraw* dd = create_windowed();
    EXPECT_EQ(dd->AddRef(), 2u);
    EXPECT_EQ(dd->Release(), 1u);

    IDirectDrawSurface* s = create_surface(dd, 8, 8, nullptr);
    EXPECT_EQ(s->AddRef(), 2u);
    EXPECT_EQ(s->Release(), 1u);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(s->QueryInterface(IID_IDirectDrawSurface, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown->Release(), 1u);
    void* nothing = nullptr;
    EXPECT_EQ(s->QueryInterface(IID_IDirectDrawSurface3, &nothing), E_NOINTERFACE);

    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(dd->CreateClipper(0, &clipper, nullptr), DD_OK);
    ASSERT_EQ(s->SetClipper(clipper), DD_OK);
    EXPECT_EQ(clipper->Release(), 1u); // the surface holds the last reference
    IDirectDrawClipper* back = nullptr;
    ASSERT_EQ(s->GetClipper(&back), DD_OK);
    EXPECT_EQ(back, clipper);
    EXPECT_EQ(back->Release(), 1u);

    PALETTEENTRY entries[256] = {};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(dd->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr), DD_OK);
    const DDPIXELFORMAT pf8 = palettised_format();
    IDirectDrawSurface* indexed = create_surface(dd, 4, 4, &pf8);
    EXPECT_EQ(s->SetPalette(palette), DDERR_NOTPALETTIZED);
    ASSERT_EQ(indexed->SetPalette(palette), DD_OK);
    EXPECT_EQ(palette->AddRef(), 3u);
    EXPECT_EQ(palette->Release(), 2u);
    EXPECT_EQ(indexed->Release(), 0u); // releases its palette reference
    EXPECT_EQ(palette->Release(), 0u);
    EXPECT_EQ(s->Release(), 0u);
    EXPECT_EQ(dd->Release(), 0u);
}

} // namespace
