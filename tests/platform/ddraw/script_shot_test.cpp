// A headless run as the programs make it: a window, DirectDraw in windowed mode,
// a frame drawn into the back buffer and presented, then the input script's
// `lose` and `shot` commands. The shot must be the frame that was shown.
#include <ddraw.h>
#include <ludora/harness.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

struct Shot {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, top row first
};

bool read_shot(const std::string& path, Shot& shot) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), {});
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return false;
    auto u32 = [&](size_t at) {
        return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24;
    };
    const int32_t height = static_cast<int32_t>(u32(22));
    shot.width = static_cast<int>(u32(18));
    shot.height = height < 0 ? -height : height;
    if (b[28] != 24) return false;
    const size_t offset = u32(10), row = (shot.width * 3 + 3) & ~3;
    if (b.size() < offset + row * shot.height) return false;
    for (int y = 0; y < shot.height; ++y) {
        const size_t file_row = height < 0 ? y : shot.height - 1 - y;
        for (int x = 0; x < shot.width; ++x) {
            const uint8_t* p = &b[offset + file_row * row + x * 3];
            shot.pixels.push_back(p[2] << 16 | p[1] << 8 | p[0]);
        }
    }
    return true;
}

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

uint32_t xrgb_of_565(uint16_t p) {
    const uint32_t r = ((p >> 11) * 527 + 23) >> 6, g = (((p >> 5) & 63) * 259 + 33) >> 6;
    const uint32_t b = ((p & 31) * 527 + 23) >> 6;
    return r << 16 | g << 8 | b;
}

TEST(ScriptShot, TheShotIsTheFramePresentedFromTheBackBuffer) {
    LudoraResetWindows();
    LudoraHoldClock();
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "DirectX Class";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND window = CreateWindowExA(0, "DirectX Class", "Shot", WS_POPUP | WS_VISIBLE, 100, 50, 160,
                                  120, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    pump();

    IDirectDraw* dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    ASSERT_EQ(dd->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface* primary = nullptr;
    ASSERT_EQ(dd->CreateSurface(&desc, &primary, nullptr), DD_OK);
    IDirectDrawClipper* clipper = nullptr;
    dd->CreateClipper(0, &clipper, nullptr);
    clipper->SetHWnd(0, window);
    primary->SetClipper(clipper);
    RECT client{};
    GetClientRect(window, &client);
    ASSERT_EQ(client.right, 160);
    ASSERT_EQ(client.bottom, 120);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = 160;
    desc.dwHeight = 120;
    desc.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER | DDSCAPS_3DDEVICE | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface* back = nullptr;
    ASSERT_EQ(dd->CreateSurface(&desc, &back, nullptr), DD_OK);

    // The frame: red and green halves, a keyed sprite and a line of text.
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0xF800;
    back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    RECT right{80, 0, 160, 120};
    fx.dwFillColor = 0x07E0;
    back->Blt(&right, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    desc.dwWidth = desc.dwHeight = 17;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface* sprite = nullptr;
    ASSERT_EQ(dd->CreateSurface(&desc, &sprite, nullptr), DD_OK);
    fx.dwFillColor = 0x001F;
    sprite->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    RECT middle{5, 5, 12, 12};
    fx.dwFillColor = 0xFFFF;
    sprite->Blt(&middle, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    DDCOLORKEY key{0x001F, 0x001F};
    sprite->SetColorKey(DDCKEY_SRCBLT, &key);
    back->BltFast(72, 50, sprite, nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
    HDC dc = nullptr;
    ASSERT_EQ(back->GetDC(&dc), DD_OK);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 0));
    TextOutA(dc, 4, 90, "42", 2);
    back->ReleaseDC(dc);

    // Presented as zq does: the back buffer onto the client area of the screen.
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT dest{origin.x, origin.y, origin.x + 160, origin.y + 120};
    ASSERT_EQ(primary->Blt(&dest, back, nullptr, DDBLT_WAIT, nullptr), DD_OK);

    const std::string path = ::testing::TempDir() + "/ludora_ddraw_shot.bmp";
    std::remove(path.c_str());
    ASSERT_EQ(LudoraRunScript(("lose\nshot " + path + "\n").c_str()), 0);
    for (int i = 0; i < 10 && !LudoraScriptDone(); ++i)
        pump();
    ASSERT_TRUE(LudoraScriptDone());

    Shot shot;
    ASSERT_TRUE(read_shot(path, shot));
    ASSERT_EQ(shot.width, 160);
    ASSERT_EQ(shot.height, 120);
    EXPECT_EQ(shot.pixels[10 * 160 + 10], 0xFF0000u);
    EXPECT_EQ(shot.pixels[10 * 160 + 150], 0x00FF00u);
    EXPECT_EQ(shot.pixels[58 * 160 + 80], 0xFFFFFFu); // the sprite's middle
    EXPECT_EQ(shot.pixels[51 * 160 + 73], 0xFF0000u); // its keyed corner shows the red
    DDSURFACEDESC lock{};
    lock.dwSize = sizeof(lock);
    ASSERT_EQ(back->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr), DD_OK);
    int yellow = 0;
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 160; ++x) {
            const uint16_t p = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(lock.lpSurface) +
                                                           y * lock.lPitch)[x];
            ASSERT_EQ(shot.pixels[y * 160 + x], xrgb_of_565(p)) << x << "," << y;
            yellow += shot.pixels[y * 160 + x] == 0xFFFF00;
        }
    }
    back->Unlock(nullptr);
    EXPECT_GT(yellow, 10);

    // `lose` took the primary's memory, as another program's mode change would.
    EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(back->IsLost(), DD_OK);
    EXPECT_EQ(primary->Blt(&dest, back, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    ASSERT_EQ(primary->Restore(), DD_OK);
    EXPECT_EQ(primary->Blt(&dest, back, nullptr, DDBLT_WAIT, nullptr), DD_OK);

    std::remove(path.c_str());
    sprite->Release();
    back->Release();
    clipper->Release();
    primary->Release();
    dd->Release();
    LudoraReleaseClock();
    LudoraResetWindows();
}

} // namespace
