// What reaches the window: the part of the primary under the client area in
// windowed mode, the whole mode in full-screen mode, after every change.
#include "ddraw_helpers.h"

using namespace ddraw_test;

namespace {

IDirectDrawSurface* create_primary(IDirectDraw* dd, DWORD backs) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | (backs ? DDSD_BACKBUFFERCOUNT : 0);
    desc.dwBackBufferCount = backs;
    desc.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | (backs ? DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE : 0);
    IDirectDrawSurface* s = nullptr;
    EXPECT_EQ(dd->CreateSurface(&desc, &s, nullptr), DD_OK);
    return s;
}

TEST(Presentation, WindowedModeShowsThePrimaryUnderTheClientArea) {
    clear_frames();
    place_fake_window(-50, 30, 640, 480);
    IDirectDraw* dd = create_windowed();
    IDirectDrawSurface* primary = create_primary(dd, 0);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    primary->GetSurfaceDesc(&desc);
    EXPECT_EQ(desc.dwWidth, 1024u);
    EXPECT_EQ(desc.dwHeight, 768u);
    DDSURFACEDESC again{};
    again.dwSize = sizeof(again);
    again.dwFlags = DDSD_CAPS;
    again.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface* second = nullptr;
    EXPECT_EQ(dd->CreateSurface(&again, &second, nullptr), DDERR_PRIMARYSURFACEALREADYEXISTS);

    IDirectDrawClipper* clipper = nullptr;
    dd->CreateClipper(0, &clipper, nullptr);
    clipper->SetHWnd(0, fake_window());
    primary->SetClipper(clipper);
    clipper->Release();

    // zq's windowed presentation: the back buffer's visible part onto the screen.
    IDirectDrawSurface* back =
        create_surface(dd, 640, 480, nullptr, DDSCAPS_BACKBUFFER | DDSCAPS_SYSTEMMEMORY);
    fill(back, 0xF800);
    RECT strip{0, 0, 640, 10};
    fill(back, 0x07E0, &strip);
    RECT dest{0, 30, 590, 510}, source{50, 0, 640, 480};
    ASSERT_EQ(primary->Blt(&dest, back, &source, DDBLT_WAIT, nullptr), DD_OK);
    ASSERT_GE(frame_count(), 1);
    const Frame& f = last_frame();
    EXPECT_EQ(f.window, fake_window());
    EXPECT_FALSE(f.fullscreen);
    EXPECT_EQ(f.width, 640);
    EXPECT_EQ(f.height, 480);
    EXPECT_EQ(f.at(0, 0), 0u); // off the screen: black
    EXPECT_EQ(f.at(49, 100), 0u);
    EXPECT_EQ(f.at(50, 0), 0x00FF00u); // client x 50 is screen x 0
    EXPECT_EQ(f.at(639, 479), 0xFF0000u);
    uint32_t xrgb = 0;
    ASSERT_EQ(LudoraReadScreenPixel(0, 30, &xrgb), 1);
    EXPECT_EQ(xrgb, 0x00FF00u);
    EXPECT_EQ(LudoraReadScreenPixel(2000, 0, &xrgb), 0);

    // A blit reaching past the screen is cut by the clipper, not refused.
    RECT beyond{1000, 700, 1100, 800};
    EXPECT_EQ(primary->Blt(&beyond, back, &strip, DDBLT_WAIT, nullptr), DD_OK);

    // Lock and Unlock, and GetDC and ReleaseDC, present too.
    const int before = frame_count();
    DDSURFACEDESC lock{};
    lock.dwSize = sizeof(lock);
    ASSERT_EQ(primary->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DD_OK);
    static_cast<uint16_t*>(lock.lpSurface)[lock.lPitch / 2 * 31 + 0] = 0x001F;
    primary->Unlock(nullptr);
    EXPECT_EQ(frame_count(), before + 1);
    EXPECT_EQ(last_frame().at(50, 1), 0x0000FFu);
    HDC dc = nullptr;
    ASSERT_EQ(primary->GetDC(&dc), DD_OK);
    primary->ReleaseDC(dc);
    EXPECT_EQ(frame_count(), before + 2);

    // After another program's mode change the primary must be restored first.
    LudoraLoseAllSurfaces();
    EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(back->IsLost(), DD_OK);
    EXPECT_EQ(primary->Blt(&dest, back, &source, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    ASSERT_EQ(primary->Restore(), DD_OK);
    EXPECT_EQ(primary->Blt(&dest, back, &source, DDBLT_WAIT, nullptr), DD_OK);

    back->Release();
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(dd->Release(), 0u);
}

TEST(Presentation, FullScreenFlipsTheChainAndShowsTheWholeMode) {
    clear_frames();
    IDirectDraw* dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    ASSERT_EQ(dd->SetCooperativeLevel(fake_window(),
                                      DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_ALLOWREBOOT),
              DD_OK);
    ASSERT_EQ(dd->SetDisplayMode(640, 480, 16), DD_OK);
    IDirectDrawSurface* front = create_primary(dd, 1);
    ASSERT_NE(front, nullptr);
    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    IDirectDrawSurface* back = nullptr;
    ASSERT_EQ(front->GetAttachedSurface(&caps, &back), DD_OK);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    back->GetSurfaceDesc(&desc);
    EXPECT_EQ(desc.dwWidth, 640u);
    EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_BACKBUFFER);
    front->GetSurfaceDesc(&desc);
    EXPECT_EQ(desc.dwBackBufferCount, 1u);
    EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_FRONTBUFFER);
    EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_VISIBLE);

    fill(back, 0x001F);
    EXPECT_EQ(frame_count(), 0); // drawing into the back buffer shows nothing
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    ASSERT_EQ(frame_count(), 1);
    EXPECT_TRUE(last_frame().fullscreen);
    EXPECT_EQ(last_frame().width, 640);
    EXPECT_EQ(last_frame().height, 480);
    EXPECT_EQ(last_frame().at(639, 479), 0x0000FFu);
    // The old front (black) is now the back buffer.
    EXPECT_EQ(pixel(back, 0, 0), 0u);
    EXPECT_EQ(back->Flip(nullptr, 0), DDERR_NOTFLIPPABLE);

    // Releasing the back buffer's reference leaves the chain whole.
    EXPECT_EQ(back->Release(), 0u);
    ASSERT_EQ(front->GetAttachedSurface(&caps, &back), DD_OK);
    EXPECT_EQ(back->Release(), 0u);

    // 8-bit modes show through the primary's palette.
    EXPECT_EQ(front->Release(), 0u);
    ASSERT_EQ(dd->SetDisplayMode(640, 480, 8), DD_OK);
    front = create_primary(dd, 1);
    PALETTEENTRY entries[256] = {};
    entries[9] = PALETTEENTRY{10, 20, 30, 0};
    IDirectDrawPalette* palette = nullptr;
    dd->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr);
    ASSERT_EQ(front->SetPalette(palette), DD_OK);
    palette->Release();
    fill(front, 9);
    EXPECT_EQ(last_frame().at(5, 5), 0x0A141Eu);
    entries[9] = PALETTEENTRY{255, 255, 255, 0};
    palette->SetEntries(0, 9, 1, &entries[9]);
    EXPECT_EQ(last_frame().at(5, 5), 0xFFFFFFu);
    EXPECT_EQ(front->Release(), 0u);
    EXPECT_EQ(dd->RestoreDisplayMode(), DD_OK);
    EXPECT_EQ(dd->Release(), 0u);
}

} // namespace

namespace {

// The same picture presented again shows the same frame; any change to the
// picture or to where the window lies shows at once.
TEST(Presentation, AnUnchangedPictureShowsAsBeforeAndEveryChangeShows) {
    clear_frames();
    place_fake_window(100, 50, 320, 200);
    IDirectDraw* dd = create_windowed();
    IDirectDrawSurface* primary = create_primary(dd, 0);
    IDirectDrawClipper* clipper = nullptr;
    dd->CreateClipper(0, &clipper, nullptr);
    clipper->SetHWnd(0, fake_window());
    primary->SetClipper(clipper);
    clipper->Release();

    RECT client{100, 50, 420, 250};
    fill(primary, 0x07E0, &client); // green under the window
    ASSERT_GE(frame_count(), 1);
    const std::vector<uint32_t> green = last_frame().pixels;
    EXPECT_EQ(last_frame().at(0, 0), 0x00FF00u);
    const int before = frame_count();
    fill(primary, 0x07E0, &client); // the same again
    ASSERT_EQ(frame_count(), before + 1);
    EXPECT_EQ(last_frame().pixels, green);

    // One pixel changes.
    set_pixel(primary, 419, 249, 0x001F);
    EXPECT_EQ(last_frame().at(319, 199), 0x0000FFu);
    EXPECT_EQ(last_frame().at(318, 199), 0x00FF00u);

    // The window moves: the frame shows what now lies under it.
    place_fake_window(101, 50, 320, 200);
    set_pixel(primary, 419, 249, 0x001F); // the same pixel, presented again
    EXPECT_EQ(last_frame().at(318, 199), 0x0000FFu);
    EXPECT_EQ(last_frame().at(319, 199), 0u); // x 420 was never drawn
    EXPECT_EQ(last_frame().width, 320);

    // It grows: the new part shows too.
    place_fake_window(101, 50, 330, 200);
    set_pixel(primary, 419, 249, 0x001F);
    EXPECT_EQ(last_frame().width, 330);
    EXPECT_EQ(last_frame().at(318, 199), 0x0000FFu);
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(dd->Release(), 0u);
}

} // namespace
