#include "buttons_test_support.h"

#include <vector>

#include <ludora/harness_window.h>

#include "zq.h"

#include "ui/buttons/pointer.h"
#include "ui/pictures/clipped_blit.h"
#include "ui/pictures/redraw_list.h"

#include "tests/support/picture.h"
#include "tests/support/surface_pixels.h"

#include "tests/support/test_window.h"

namespace buttontest {

namespace {

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
    testkit::WriteBmp(path, width, height,
                      [&rgb](int x, int y) { return testkit::Rgb::FromPacked(rgb(x, y)); });
}

void WriteStrip(const std::string& path, int cellWidth, int cellHeight,
                std::initializer_list<uint32_t> colours, bool vertical) {
    const std::vector<uint32_t> cells(colours);
    const int n = int(cells.size());
    WriteBmp(path, vertical ? cellWidth : cellWidth * n, vertical ? cellHeight * n : cellHeight,
             [&](int x, int y) { return cells[vertical ? y / cellHeight : x / cellWidth]; });
}

void ButtonsTest::SetUp() {
    scratch_ = std::make_unique<testkit::WorkingFolder>("buttons");
    ASSERT_TRUE(scratch_->Made());
    folder_ = scratch_->path;

    window_ = testkit::MakeTestWindow("buttons test", 320, 240, PointerWindowProc);
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
    scratch_.reset();
}

uint32_t ButtonsTest::PixelAt(IDirectDrawSurface* surface, int x, int y) {
    const testkit::LockedSurface lock(surface);
    if (!lock.ok) return 0xDEAD;
    const uint32_t p = lock.Inside(x, y) ? lock.Get(x, y) & 0xFFFF : 0;
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
    testkit::PumpMessages();
}

} // namespace buttontest
