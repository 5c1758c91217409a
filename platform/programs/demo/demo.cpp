// The platform layer at work: a window, its window procedure and message
// loop, and DirectDraw drawing (primary surface with a clipper, a back
// surface, colour fills, a square that follows the mouse and the frame count
// written with GDI). Started in the launcher's folder, it shows the splash
// picture behind them and plays the music through MCI, round and round.
// Escape or the close box ends it.
#include <windows.h>
#include <ddraw.h>

#include <algorithm>
#include <cstdio>

namespace {

struct Demo {
    HWND window = nullptr;
    LPDIRECTDRAW draw = nullptr;
    LPDIRECTDRAWSURFACE primary = nullptr;
    LPDIRECTDRAWSURFACE back = nullptr;
    LPDIRECTDRAWCLIPPER clipper = nullptr;
    LPDIRECTDRAWSURFACE backdrop = nullptr;
    DDPIXELFORMAT format{};
    int width = 0, height = 0;
    int mouse_x = 0, mouse_y = 0;
    bool pressed = false;
    bool active = false;
    unsigned frames = 0;
} g_demo;

// A colour in the back surface's own pixel format.
DWORD pack(int r, int g, int b) {
    auto place = [](int value, DWORD mask) -> DWORD {
        if (!mask) return 0;
        int shift = 0, bits = 0;
        while (!((mask >> shift) & 1))
            ++shift;
        while ((mask >> (shift + bits)) & 1)
            ++bits;
        return (static_cast<DWORD>(value) >> (8 - bits)) << shift;
    };
    const DDPIXELFORMAT& f = g_demo.format;
    return place(r, f.dwRBitMask) | place(g, f.dwGBitMask) | place(b, f.dwBBitMask);
}

void fill(int left, int top, int right, int bottom, DWORD colour) {
    RECT r{left, top, right, bottom};
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = colour;
    g_demo.back->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

bool start_directdraw() {
    Demo& d = g_demo;
    if (DirectDrawCreate(nullptr, &d.draw, nullptr) != DD_OK) return false;
    if (d.draw->SetCooperativeLevel(d.window, DDSCL_NORMAL) != DD_OK) return false;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (d.draw->CreateSurface(&desc, &d.primary, nullptr) != DD_OK) return false;
    if (d.draw->CreateClipper(0, &d.clipper, nullptr) != DD_OK) return false;
    d.clipper->SetHWnd(0, d.window);
    d.primary->SetClipper(d.clipper);
    RECT client;
    GetClientRect(d.window, &client);
    d.width = client.right;
    d.height = client.bottom;
    desc = DDSURFACEDESC{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.dwWidth = static_cast<DWORD>(d.width);
    desc.dwHeight = static_cast<DWORD>(d.height);
    if (d.draw->CreateSurface(&desc, &d.back, nullptr) != DD_OK) return false;
    d.format.dwSize = sizeof d.format;
    d.back->GetPixelFormat(&d.format);
    return true;
}

// The splash picture of the folder the demo runs in, if there is one.
void load_backdrop() {
    Demo& d = g_demo;
    HBITMAP picture =
        static_cast<HBITMAP>(LoadImageA(nullptr, ".\\Title\\TovikSplash.bmp", IMAGE_BITMAP, 0, 0,
                                        LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!picture) return;
    BITMAP info{};
    GetObjectA(picture, sizeof info, &info);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.dwWidth = static_cast<DWORD>(std::max<LONG>(info.bmWidth, d.width));
    desc.dwHeight = static_cast<DWORD>(std::max<LONG>(info.bmHeight, d.height));
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(source, picture);
    HDC target = nullptr;
    if (d.draw->CreateSurface(&desc, &d.backdrop, nullptr) == DD_OK &&
        d.backdrop->GetDC(&target) == DD_OK) {
        BitBlt(target, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
        d.backdrop->ReleaseDC(target);
    }
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(picture);
}

void start_music() {
    if (mciSendStringA("open .\\sounds\\music.wav alias music", nullptr, 0, g_demo.window) == 0)
        mciSendStringA("play music notify", nullptr, 0, g_demo.window);
}

void stop_directdraw() {
    Demo& d = g_demo;
    if (d.backdrop) d.backdrop->Release();
    d.backdrop = nullptr;
    if (d.back) d.back->Release();
    if (d.clipper) d.clipper->Release();
    if (d.primary) d.primary->Release();
    if (d.draw) d.draw->Release();
    d.back = d.primary = nullptr;
    d.clipper = nullptr;
    d.draw = nullptr;
}

void draw_frame() {
    Demo& d = g_demo;
    if (d.primary->IsLost() != DD_OK) d.primary->Restore();
    if (d.back->IsLost() != DD_OK) d.back->Restore();
    // A slow colour cycle shows that frames keep coming.
    const int shade = static_cast<int>((d.frames / 2) % 256);
    if (d.backdrop) {
        RECT part{0, 0, d.width, d.height}; // the picture may be larger than the client area
        d.back->BltFast(0, 0, d.backdrop, &part, DDBLTFAST_WAIT);
    } else {
        fill(0, 0, d.width, d.height, pack(0, shade / 3, 64 + shade / 2));
    }
    fill(20, 20, d.width - 20, 60, pack(240, 200, 40));
    const DWORD square = d.pressed ? pack(255, 64, 64) : pack(255, 255, 255);
    fill(d.mouse_x - 16, d.mouse_y - 16, d.mouse_x + 16, d.mouse_y + 16, square);
    HDC dc = nullptr;
    if (d.back->GetDC(&dc) == DD_OK) {
        char text[64];
        const int length =
            std::snprintf(text, sizeof text, "Ludora platform demo - frame %u", d.frames);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        TextOutA(dc, 30, 30, text, length);
        d.back->ReleaseDC(dc);
    }
    POINT origin{0, 0};
    ClientToScreen(d.window, &origin);
    RECT target{origin.x, origin.y, origin.x + d.width, origin.y + d.height};
    d.primary->Blt(&target, d.back, nullptr, DDBLT_WAIT, nullptr);
    ++d.frames;
}

LRESULT CALLBACK DemoProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_ACTIVATEAPP:
        g_demo.active = wparam != 0;
        break;
    case WM_MOUSEMOVE:
        g_demo.mouse_x = static_cast<short>(LOWORD(lparam));
        g_demo.mouse_y = static_cast<short>(HIWORD(lparam));
        break;
    case WM_LBUTTONDOWN:
        g_demo.pressed = true;
        break;
    case WM_LBUTTONUP:
        g_demo.pressed = false;
        break;
    case WM_KEYUP:
        if (wparam == VK_ESCAPE) PostMessageA(hwnd, WM_CLOSE, 0, 0);
        break;
    case WM_SYSCOMMAND:
        if ((wparam & 0xFFF0) == SC_KEYMENU) return 0;
        break;
    case MM_MCINOTIFY:
        // The music ended: from the top again.
        if (wparam == MCI_NOTIFY_SUCCESSFUL)
            mciSendStringA("play music from 0 notify", nullptr, 0, hwnd);
        break;
    case WM_DESTROY:
        mciSendStringA("close music", nullptr, 0, nullptr);
        stop_directdraw();
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DemoProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "Ludora Demo";
    if (!RegisterClassA(&wc)) return 0;
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - 400;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - 300;
    g_demo.window = CreateWindowExA(0, "Ludora Demo", "Ludora platform demo",
                                    WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 800, 600,
                                    nullptr, nullptr, instance, nullptr);
    if (!g_demo.window) return 0;
    ShowWindow(g_demo.window, SW_SHOWNORMAL);
    UpdateWindow(g_demo.window);
    if (!start_directdraw()) {
        MessageBoxA(nullptr, "DirectDraw could not be started.", "Ludora demo",
                    MB_ICONHAND | MB_OK);
        DestroyWindow(g_demo.window);
    } else {
        load_backdrop();
        start_music();
    }
    MSG msg{};
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else if (g_demo.active && g_demo.back) {
            draw_frame();
        } else {
            WaitMessage();
        }
    }
    return static_cast<int>(msg.wParam);
}
