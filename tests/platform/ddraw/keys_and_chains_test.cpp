// Colour-key ranges and destination keys through IDirectDrawSurface, and a lost
// flipping chain coming back through its front buffer.
#include "ddraw_helpers.h"

using namespace ddraw_test;

namespace {

TEST(SurfaceKeys, RangesAndDestinationKeysCompareRawValues) {
    IDirectDraw* dd = create_windowed();
    IDirectDrawSurface* sprite = create_surface(dd, 4, 1);
    IDirectDrawSurface* screen = create_surface(dd, 4, 1);
    set_pixel(sprite, 0, 0, 0x0010);
    set_pixel(sprite, 1, 0, 0x0018);
    set_pixel(sprite, 2, 0, 0x001F);
    set_pixel(sprite, 3, 0, 0x0020); // just above the range: drawn

    // A colour-space key makes every raw value from low to high transparent.
    DDCOLORKEY range{0x0010, 0x001F};
    ASSERT_EQ(sprite->SetColorKey(DDCKEY_SRCBLT | DDCKEY_COLORSPACE, &range), DD_OK);
    fill(screen, 0x7777);
    ASSERT_EQ(screen->Blt(nullptr, sprite, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(pixel(screen, x, 0), 0x7777u) << x;
    EXPECT_EQ(pixel(screen, 3, 0), 0x0020u);

    // Without DDCKEY_COLORSPACE only the low value counts.
    ASSERT_EQ(sprite->SetColorKey(DDCKEY_SRCBLT, &range), DD_OK);
    DDCOLORKEY read{};
    ASSERT_EQ(sprite->GetColorKey(DDCKEY_SRCBLT, &read), DD_OK);
    EXPECT_EQ(read.dwColorSpaceHighValue, 0x0010u);
    fill(screen, 0x7777);
    ASSERT_EQ(screen->BltFast(0, 0, sprite, nullptr, DDBLTFAST_SRCCOLORKEY), DD_OK);
    EXPECT_EQ(pixel(screen, 0, 0), 0x7777u);
    EXPECT_EQ(pixel(screen, 1, 0), 0x0018u);
    EXPECT_EQ(pixel(screen, 2, 0), 0x001Fu);

    // A destination key: only pixels of that raw value are painted over.
    set_pixel(screen, 0, 0, 0x4321);
    set_pixel(screen, 1, 0, 0x4321);
    DDCOLORKEY paper{0x4321, 0x4321};
    ASSERT_EQ(screen->SetColorKey(DDCKEY_DESTBLT, &paper), DD_OK);
    ASSERT_EQ(sprite->SetColorKey(DDCKEY_SRCBLT, nullptr), DD_OK);
    ASSERT_EQ(screen->Blt(nullptr, sprite, nullptr, DDBLT_KEYDEST | DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(pixel(screen, 0, 0), 0x0010u);
    EXPECT_EQ(pixel(screen, 1, 0), 0x0018u);
    EXPECT_EQ(pixel(screen, 2, 0), 0x001Fu); // untouched: not the key
    EXPECT_EQ(pixel(screen, 3, 0), 0x0020u);
    set_pixel(screen, 2, 0, 0x4321);
    ASSERT_EQ(fill(screen, 0x1111), DD_OK); // a fill without the flag paints everything
    set_pixel(screen, 2, 0, 0x4321);
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0x0F0F;
    ASSERT_EQ(screen->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_KEYDEST, &fx), DD_OK);
    EXPECT_EQ(pixel(screen, 1, 0), 0x1111u);
    EXPECT_EQ(pixel(screen, 2, 0), 0x0F0Fu);
    ASSERT_EQ(screen->BltFast(0, 0, sprite, nullptr, DDBLTFAST_DESTCOLORKEY), DD_OK);
    EXPECT_EQ(pixel(screen, 0, 0), 0x1111u);

    // Overlay keys need overlay hardware; a key must name one kind.
    EXPECT_EQ(sprite->SetColorKey(DDCKEY_SRCOVERLAY, &paper), DDERR_NOOVERLAYHW);
    EXPECT_EQ(sprite->SetColorKey(DDCKEY_SRCBLT | DDCKEY_DESTBLT, &paper), DDERR_INVALIDPARAMS);
    EXPECT_EQ(sprite->GetColorKey(DDCKEY_DESTBLT, &read), DDERR_NOCOLORKEY);
    sprite->Release();
    screen->Release();
    EXPECT_EQ(dd->Release(), 0u);
}

TEST(SurfaceChains, ALostChainComesBackThroughItsFrontBuffer) {
    IDirectDraw* dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    ASSERT_EQ(dd->SetCooperativeLevel(fake_window(), DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
    ASSERT_EQ(dd->SetDisplayMode(800, 600, 16), DD_OK);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    IDirectDrawSurface* front = nullptr;
    ASSERT_EQ(dd->CreateSurface(&desc, &front, nullptr), DD_OK);
    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    IDirectDrawSurface* back = nullptr;
    ASSERT_EQ(front->GetAttachedSurface(&caps, &back), DD_OK);
    IDirectDrawSurface* picture = create_surface(dd, 8, 8, nullptr, DDSCAPS_SYSTEMMEMORY);

    LudoraLoseAllSurfaces();
    EXPECT_EQ(front->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(back->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(picture->IsLost(), DD_OK);
    EXPECT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACELOST);
    EXPECT_EQ(back->Blt(nullptr, picture, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(back->BltFast(0, 0, picture, nullptr, 0), DDERR_SURFACELOST);
    // The back buffer was made with the chain: only the front buffer restores it.
    EXPECT_EQ(back->Restore(), DDERR_IMPLICITLYCREATED);
    ASSERT_EQ(front->Restore(), DD_OK);
    EXPECT_EQ(back->IsLost(), DD_OK);
    fill(back, 0x07E0);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(pixel(front, 799, 599), 0x07E0u);
    uint32_t shown = 0;
    ASSERT_EQ(LudoraReadScreenPixel(400, 300, &shown), 1);
    EXPECT_EQ(shown, 0x00FF00u);

    picture->Release();
    EXPECT_EQ(back->Release(), 0u);
    EXPECT_EQ(front->Release(), 0u);
    EXPECT_EQ(dd->RestoreDisplayMode(), DD_OK);
    EXPECT_EQ(dd->Release(), 0u);
}

} // namespace
