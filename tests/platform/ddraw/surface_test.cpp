// Surfaces through IDirectDrawSurface: formats, fills, blits, keys, clipping,
// locks, device contexts, palettes, lost surfaces and the flipping chain.
#include "ddraw_helpers.h"

#include <windows.h>

using namespace ddraw_test;

namespace {

class Surfaces : public ::testing::Test {
protected:
    void SetUp() override { dd = create_windowed(); }
    void TearDown() override { EXPECT_EQ(dd->Release(), 0u); }
    IDirectDraw* dd = nullptr;
};

TEST_F(Surfaces, EveryFormatFillsLocksAndReportsItsPitchAndFormat) {
    const struct {
        DDPIXELFORMAT format;
        DWORD red; // red in that format
        int bytes;
    } cases[] = {
        {palettised_format(), 7, 1},
        {rgb_format(16, 0x7C00, 0x03E0, 0x001F), 0x7C00, 2},
        {rgb_format(16, 0xF800, 0x07E0, 0x001F), 0xF800, 2},
        {rgb_format(24, 0xFF0000, 0xFF00, 0xFF), 0xFF0000, 3},
        {rgb_format(32, 0xFF0000, 0xFF00, 0xFF), 0xFF0000, 4},
    };
    for (const auto& c : cases) {
        IDirectDrawSurface* s = create_surface(dd, 13, 5, &c.format);
        ASSERT_NE(s, nullptr);
        DDPIXELFORMAT pf{};
        pf.dwSize = sizeof(pf);
        ASSERT_EQ(s->GetPixelFormat(&pf), DD_OK);
        EXPECT_EQ(pf.dwRGBBitCount, c.format.dwRGBBitCount);
        EXPECT_EQ(pf.dwRBitMask, c.format.dwRBitMask);
        RECT r{2, 1, 11, 4};
        ASSERT_EQ(fill(s, c.red, &r), DD_OK);
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        ASSERT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        EXPECT_GE(desc.lPitch, 13 * c.bytes);
        EXPECT_EQ(desc.dwWidth, 13u);
        EXPECT_EQ(desc.dwHeight, 5u);
        const auto* bytes = static_cast<const uint8_t*>(desc.lpSurface);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 13; ++x) {
                uint32_t v = 0;
                for (int i = 0; i < c.bytes; ++i)
                    v |= bytes[y * desc.lPitch + x * c.bytes + i] << (8 * i);
                const bool inside = x >= 2 && x < 11 && y >= 1 && y < 4;
                ASSERT_EQ(v, inside ? c.red : 0u) << x << "," << y;
            }
        }
        // Locking a rectangle points at its first pixel.
        EXPECT_EQ(s->Unlock(nullptr), DD_OK);
        RECT part{2, 1, 4, 2};
        ASSERT_EQ(s->Lock(&part, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        EXPECT_EQ(static_cast<uint8_t*>(desc.lpSurface), bytes + desc.lPitch + 2 * c.bytes);
        EXPECT_EQ(s->Blt(nullptr, s, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
        EXPECT_EQ(s->Unlock(nullptr), DD_OK);
        EXPECT_EQ(s->Unlock(nullptr), DDERR_NOTLOCKED);
        s->Release();
    }
}

TEST_F(Surfaces, BlitsConvertBetweenFormatsAndStretch) {
    const DDPIXELFORMAT x32 = rgb_format(32, 0xFF0000, 0xFF00, 0xFF);
    IDirectDrawSurface* source = create_surface(dd, 2, 2, &x32);
    IDirectDrawSurface* dest = create_surface(dd, 4, 4); // the display's 5-6-5
    set_pixel(source, 0, 0, 0xFF0000);
    set_pixel(source, 1, 0, 0x00FF00);
    set_pixel(source, 0, 1, 0x0000FF);
    set_pixel(source, 1, 1, 0xFFFFFF);
    ASSERT_EQ(dest->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(pixel(dest, 0, 0), 0xF800u);
    EXPECT_EQ(pixel(dest, 1, 1), 0xF800u);
    EXPECT_EQ(pixel(dest, 3, 0), 0x07E0u);
    EXPECT_EQ(pixel(dest, 0, 3), 0x001Fu);
    EXPECT_EQ(pixel(dest, 3, 3), 0xFFFFu);
    // Shrinking back.
    IDirectDrawSurface* small = create_surface(dd, 1, 1, &x32);
    RECT quarter{2, 2, 4, 4};
    ASSERT_EQ(small->Blt(nullptr, dest, &quarter, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(pixel(small, 0, 0), 0xFFFFFFu);
    small->Release();
    source->Release();
    dest->Release();
}

TEST_F(Surfaces, ColourKeysCompareRawValuesInBltAndBltFast) {
    IDirectDrawSurface* sprite = create_surface(dd, 3, 1);
    IDirectDrawSurface* screen = create_surface(dd, 3, 1);
    set_pixel(sprite, 0, 0, 0x001F); // pure blue: the key
    set_pixel(sprite, 1, 0, 0x001E); // almost blue: drawn
    set_pixel(sprite, 2, 0, 0x1234);
    fill(screen, 0x7777);
    DDCOLORKEY key{};
    EXPECT_EQ(sprite->GetColorKey(DDCKEY_SRCBLT, &key), DDERR_NOCOLORKEY);
    key.dwColorSpaceLowValue = key.dwColorSpaceHighValue = 0x001F;
    ASSERT_EQ(sprite->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    DDCOLORKEY read{};
    ASSERT_EQ(sprite->GetColorKey(DDCKEY_SRCBLT, &read), DD_OK);
    EXPECT_EQ(read.dwColorSpaceLowValue, 0x001Fu);

    ASSERT_EQ(screen->BltFast(0, 0, sprite, nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT),
              DD_OK);
    EXPECT_EQ(pixel(screen, 0, 0), 0x7777u);
    EXPECT_EQ(pixel(screen, 1, 0), 0x001Eu);
    EXPECT_EQ(pixel(screen, 2, 0), 0x1234u);
    fill(screen, 0x7777);
    ASSERT_EQ(screen->BltFast(0, 0, sprite, nullptr, DDBLTFAST_NOCOLORKEY), DD_OK);
    EXPECT_EQ(pixel(screen, 0, 0), 0x001Fu);
    fill(screen, 0x7777);
    ASSERT_EQ(screen->Blt(nullptr, sprite, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(pixel(screen, 0, 0), 0x7777u);
    EXPECT_EQ(pixel(screen, 2, 0), 0x1234u);
    // An override key in the effects block.
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.ddckSrcColorkey.dwColorSpaceLowValue = fx.ddckSrcColorkey.dwColorSpaceHighValue = 0x1234;
    fill(screen, 0x7777);
    ASSERT_EQ(screen->Blt(nullptr, sprite, nullptr, DDBLT_KEYSRCOVERRIDE, &fx), DD_OK);
    EXPECT_EQ(pixel(screen, 0, 0), 0x001Fu);
    EXPECT_EQ(pixel(screen, 2, 0), 0x7777u);
    // Removing the key.
    ASSERT_EQ(sprite->SetColorKey(DDCKEY_SRCBLT, nullptr), DD_OK);
    EXPECT_EQ(sprite->GetColorKey(DDCKEY_SRCBLT, &read), DDERR_NOCOLORKEY);
    sprite->Release();
    screen->Release();
}

TEST_F(Surfaces, RectanglesOutsideASurfaceAreRefusedUnlessAClipperCutsThem) {
    IDirectDrawSurface* source = create_surface(dd, 10, 10);
    IDirectDrawSurface* dest = create_surface(dd, 20, 20);
    fill(source, 0x1111);
    fill(dest, 0);
    RECT off{15, 15, 25, 25};
    EXPECT_EQ(dest->Blt(&off, source, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    RECT bad_source{5, 5, 11, 10};
    EXPECT_EQ(dest->Blt(nullptr, source, &bad_source, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    RECT inverted{5, 5, 2, 2};
    EXPECT_EQ(dest->Blt(&inverted, source, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(dest->BltFast(11, 0, source, nullptr, 0), DDERR_INVALIDRECT);
    EXPECT_EQ(dest->BltFast(10, 10, source, nullptr, 0), DD_OK);
    EXPECT_EQ(pixel(dest, 19, 19), 0x1111u);
    EXPECT_EQ(pixel(dest, 9, 9), 0u);

    // With a clipper the part inside is drawn.
    IDirectDrawClipper* clipper = nullptr;
    dd->CreateClipper(0, &clipper, nullptr);
    dest->SetClipper(clipper);
    fill(dest, 0);
    ASSERT_EQ(dest->Blt(&off, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(pixel(dest, 15, 15), 0x1111u);
    EXPECT_EQ(pixel(dest, 19, 19), 0x1111u);
    EXPECT_EQ(pixel(dest, 14, 14), 0u);
    EXPECT_EQ(dest->BltFast(0, 0, source, nullptr, 0), DDERR_BLTFASTCANTCLIP);
    clipper->Release();
    source->Release();
    dest->Release();
}

TEST_F(Surfaces, PalettesMapIndexedPixelsWhenBlittedToHighColour) {
    PALETTEENTRY entries[256] = {};
    entries[5] = PALETTEENTRY{255, 0, 0, 0};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(dd->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr),
              DD_OK);
    PALETTEENTRY green{0, 255, 0, 0};
    ASSERT_EQ(palette->SetEntries(0, 6, 1, &green), DD_OK);
    PALETTEENTRY read[2] = {};
    ASSERT_EQ(palette->GetEntries(0, 5, 2, read), DD_OK);
    EXPECT_EQ(read[0].peRed, 255);
    EXPECT_EQ(read[1].peGreen, 255);
    EXPECT_EQ(palette->GetEntries(0, 255, 2, read), DDERR_INVALIDPARAMS);

    const DDPIXELFORMAT pf8 = palettised_format();
    IDirectDrawSurface* indexed = create_surface(dd, 2, 1, &pf8);
    IDirectDrawPalette* none = nullptr;
    EXPECT_EQ(indexed->GetPalette(&none), DDERR_NOPALETTEATTACHED);
    indexed->SetPalette(palette);
    set_pixel(indexed, 0, 0, 5);
    set_pixel(indexed, 1, 0, 6);
    IDirectDrawSurface* high = create_surface(dd, 2, 1);
    ASSERT_EQ(high->Blt(nullptr, indexed, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(pixel(high, 0, 0), 0xF800u);
    EXPECT_EQ(pixel(high, 1, 0), 0x07E0u);
    indexed->Release();
    high->Release();
    palette->Release();
}

TEST_F(Surfaces, DeviceContextsDrawIntoTheSurface) {
    IDirectDrawSurface* s = create_surface(dd, 60, 30);
    fill(s, 0x001F);
    HDC dc = nullptr;
    ASSERT_EQ(s->GetDC(&dc), DD_OK);
    HDC second = nullptr;
    EXPECT_EQ(s->GetDC(&second), DDERR_DCALREADYCREATED);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    EXPECT_EQ(s->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 255));
    SetPixel(dc, 3, 4, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 0, 0));
    TextOutA(dc, 10, 5, "88", 2);
    EXPECT_EQ(s->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(s->ReleaseDC(dc), DDERR_NODC);
    EXPECT_EQ(pixel(s, 3, 4), 0xFFFFu);
    // The text is pure red on untouched blue: no blended edge pixels.
    int red = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 60; ++x) {
            const uint32_t v = pixel(s, x, y);
            if (x == 3 && y == 4) continue;
            ASSERT_TRUE(v == 0x001F || v == 0xF800) << std::hex << v;
            red += v == 0xF800;
        }
    }
    EXPECT_GT(red, 10);
    s->Release();
}

TEST_F(Surfaces, AContextOfAPalettisedSurfaceUsesThePaletteSetWhileItIsOut) {
    PALETTEENTRY first[256] = {}, second[256] = {};
    first[1] = PALETTEENTRY{255, 0, 0, 0};
    second[2] = PALETTEENTRY{255, 0, 0, 0};
    IDirectDrawPalette* a = nullptr;
    IDirectDrawPalette* b = nullptr;
    ASSERT_EQ(dd->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, first, &a, nullptr), DD_OK);
    ASSERT_EQ(dd->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, second, &b, nullptr), DD_OK);
    const DDPIXELFORMAT pf8 = palettised_format();
    IDirectDrawSurface* s = create_surface(dd, 4, 1, &pf8);
    ASSERT_EQ(s->SetPalette(a), DD_OK);
    a->Release(); // the surface holds the last reference
    HDC dc = nullptr;
    ASSERT_EQ(s->GetDC(&dc), DD_OK);
    EXPECT_EQ(SetPixel(dc, 0, 0, RGB(255, 0, 0)), RGB(255, 0, 0));
    ASSERT_EQ(s->SetPalette(b), DD_OK); // frees the first palette
    b->Release();
    // GDI maps colours through the new palette.
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
    SetPixel(dc, 1, 0, RGB(255, 0, 0));
    ASSERT_EQ(s->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(pixel(s, 0, 0), 1u);
    EXPECT_EQ(pixel(s, 1, 0), 2u);
    EXPECT_EQ(s->Release(), 0u);
}

TEST_F(Surfaces, LostSurfacesFailUntilRestoredWhileSystemMemoryKeepsWorking) {
    IDirectDrawSurface* video = create_surface(dd, 8, 8, nullptr, DDSCAPS_VIDEOMEMORY);
    IDirectDrawSurface* system = create_surface(dd, 8, 8, nullptr, DDSCAPS_SYSTEMMEMORY);
    DDSCAPS caps{};
    system->GetCaps(&caps);
    EXPECT_TRUE(caps.dwCaps & DDSCAPS_SYSTEMMEMORY);
    fill(video, 0x1234);
    LudoraLoseAllSurfaces();
    EXPECT_EQ(video->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(system->IsLost(), DD_OK);
    EXPECT_EQ(fill(video, 0), DDERR_SURFACELOST);
    EXPECT_EQ(system->Blt(nullptr, video, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    EXPECT_EQ(video->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
    HDC dc = nullptr;
    EXPECT_EQ(video->GetDC(&dc), DDERR_SURFACELOST);
    EXPECT_EQ(fill(system, 0x4321), DD_OK);
    ASSERT_EQ(video->Restore(), DD_OK);
    EXPECT_EQ(video->IsLost(), DD_OK);
    EXPECT_EQ(video->Blt(nullptr, system, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(pixel(video, 7, 7), 0x4321u);
    video->Release();
    system->Release();
}

TEST_F(Surfaces, CreationChecksItsDescription) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH;
    desc.dwWidth = 10;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface* s = nullptr;
    EXPECT_EQ(dd->CreateSurface(&desc, &s, nullptr), DDERR_INVALIDPARAMS);
    desc.dwFlags |= DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwHeight = 10;
    desc.ddpfPixelFormat = rgb_format(16, 0xF800, 0x0FE0, 0x001F); // overlapping masks
    EXPECT_EQ(dd->CreateSurface(&desc, &s, nullptr), DDERR_INVALIDPIXELFORMAT);
    desc.dwFlags &= ~DDSD_PIXELFORMAT;
    desc.dwSize = 12;
    EXPECT_EQ(dd->CreateSurface(&desc, &s, nullptr), DDERR_INVALIDPARAMS);
    desc.dwSize = sizeof(desc);
    desc.dwWidth = 100000;
    EXPECT_EQ(dd->CreateSurface(&desc, &s, nullptr), DDERR_TOOBIGWIDTH);
    desc.dwWidth = 10;
    desc.ddsCaps.dwCaps = DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY;
    EXPECT_EQ(dd->CreateSurface(&desc, &s, nullptr), DDERR_INVALIDCAPS);
    // A flipping chain needs exclusive mode.
    DDSURFACEDESC primary{};
    primary.dwSize = sizeof(primary);
    primary.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    primary.dwBackBufferCount = 1;
    primary.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    EXPECT_EQ(dd->CreateSurface(&primary, &s, nullptr), DDERR_NOEXCLUSIVEMODE);
    EXPECT_EQ(s, nullptr);
}

} // namespace
