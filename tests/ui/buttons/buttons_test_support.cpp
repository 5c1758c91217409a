#include "buttons_test_support.h"

#include <fstream>
#include <random>
#include <vector>

#include <ludora/harness_window.h>

#include "zq.h"

#include "ui/buttons/pointer.h"
#include "ui/pictures/clipped_blit.h"
#include "ui/pictures/redraw_list.h"

namespace buttontest {

namespace {

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

// The shell's window procedure, as far as the pointer goes.
LRESULT CALLBACK PointerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE:
        g_Pointer.SetPosition(int16_t(lParam & 0xFFFF), int16_t(lParam >> 16));
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        g_Pointer.SetLeft(message == WM_LBUTTONDOWN);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        g_Pointer.SetRight(message == WM_RBUTTONDOWN);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

void WriteBmp(const std::string& path, int width, int height,
              const std::function<uint32_t(int, int)>& rgb) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> b;
    Put(b, 0x4D42, 2);
    Put(b, 54 + rowBytes * height, 4);
    Put(b, 0, 4);
    Put(b, 54, 4);
    for (uint32_t field : {40u, uint32_t(width), uint32_t(height)})
        Put(b, field, 4);
    Put(b, 1, 2);
    Put(b, 24, 2);
    for (int i = 0; i < 6; ++i)
        Put(b, i == 1 ? rowBytes * height : 0, 4);
    for (int y = height - 1; y >= 0; --y) { // bottom row first
        for (int x = 0; x < width; ++x)
            Put(b, rgb(x, y), 3); // B, G, R
        b.resize(b.size() + rowBytes - width * 3);
    }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
}

void WriteStrip(const std::string& path, int cellWidth, int cellHeight,
                std::initializer_list<uint32_t> colours, bool vertical) {
    const std::vector<uint32_t> cells(colours);
    const int n = int(cells.size());
    WriteBmp(path, vertical ? cellWidth : cellWidth * n, vertical ? cellHeight * n : cellHeight,
             [&](int x, int y) { return cells[vertical ? y / cellHeight : x / cellWidth]; });
}

void ButtonsTest::SetUp() {
    previous_ = std::filesystem::current_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ =
        std::filesystem::temp_directory_path() /
        ("buttons-" + std::string(info->name()) + "-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder_);
    std::filesystem::current_path(folder_);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PointerWindowProc;
    windowClass.lpszClassName = "buttons test";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, "buttons test", "buttons test", WS_POPUP | WS_VISIBLE, 0, 0, 320,
                              240, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    SetForegroundWindow(window_);
    Pump();
    ASSERT_EQ(ZQInitDirectX(window_, 320, 240), 1);
    ZQGetDDInfo(nullptr, &back_);
    ASSERT_NE(back_, nullptr);
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof format;
    back_->GetPixelFormat(&format);
    ASSERT_EQ(format.dwRGBBitCount, 16u); // the desktop the tests run on: 5-6-5
    ASSERT_EQ(format.dwGBitMask, 0x07E0u);
    Clear(back_, Black);

    g_RedrawList.Reset();
    g_Pointer.Release();
    g_Pointer.SetButtonQueue(0);
    g_Pointer.SetImage(nullptr);
    g_Pointer.SetPosition(0, 0);
    g_Pointer.buttons = 0;
    g_Pointer.polledButtons = 0;
    g_Pointer.messagesOnly = 0;
    g_Pointer.pollDevice = 1;
}

void ButtonsTest::TearDown() {
    for (IDirectDrawSurface* target : targets_)
        target->Release();
    g_Pointer.Release();
    g_Pointer.SetButtonQueue(0);
    g_RedrawList.Reset();
    ZQFreeDirectInput();
    ZQFreeDirectX();
    LudoraResetWindows();
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

uint32_t ButtonsTest::PixelAt(IDirectDrawSurface* surface, int x, int y) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return 0xDEAD;
    uint16_t p = 0;
    if (x >= 0 && y >= 0 && DWORD(x) < desc.dwWidth && DWORD(y) < desc.dwHeight)
        p = *reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + desc.lPitch * y +
                                         x * 2);
    surface->Unlock(desc.lpSurface);
    return uint32_t(p >> 11) << 19 | uint32_t((p >> 5) & 0x3F) << 10 | uint32_t(p & 0x1F) << 3;
}

void ButtonsTest::Clear(IDirectDrawSurface* surface, uint32_t rgb) {
    DDBLTFX fx = {};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = (rgb >> 19) << 11 | ((rgb >> 10) & 0x3F) << 5 | ((rgb >> 3) & 0x1F);
    surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

IDirectDrawSurface* ButtonsTest::MakeTarget(int width, int height) {
    IDirectDrawSurface* target = CreateOffscreenSurface(width, height);
    if (target) {
        targets_.push_back(target);
        Clear(target, Black);
    }
    return target;
}

void ButtonsTest::Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

} // namespace buttontest
