// The exported display and presentation functions.
#include "display_state.h"

#include "diagnostics.h"
#include "zq.h"

#include <stdio.h>
#include <string.h>

#define ZQ_MODULE "zq/glue.cpp"

float g_dwFpsF = 0.0f;
uint32_t g_dwLastFlipTime = 0;
uint32_t g_dwFpsElapsed = 0;
uint32_t g_nFpsFrames = 0;
int g_bShowStats = 1;

void ZQSetInstance(HINSTANCE instance) {
    g_hInstance = instance;
}

static void ScreenSize(int* width, int* height) {
    HDC screen = GetDC(nullptr);
    *width = GetDeviceCaps(screen, HORZRES);
    *height = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
}

void ComputePresentationRects(int x, int y, int screenWidth, int screenHeight) {
    const int width = g_rcWindow.right;
    const int height = g_rcWindow.bottom;
    if (x < 0) {
        g_rcDest.left = 0;
        g_rcSource.left = -x;
    } else {
        g_rcDest.left = x;
        g_rcSource.left = 0;
    }
    if (y < 0) {
        g_rcDest.top = 0;
        g_rcSource.top = -y;
    } else {
        g_rcDest.top = y;
        g_rcSource.top = 0;
    }
    if (x + width > screenWidth) {
        g_rcDest.right = screenWidth;
        g_rcSource.right = screenWidth - x;
    } else {
        g_rcDest.right = x + width;
        g_rcSource.right = width;
    }
    if (y + height > screenHeight) {
        g_rcDest.bottom = screenHeight;
        g_rcSource.bottom = screenHeight - y;
    } else {
        g_rcDest.bottom = y + height;
        g_rcSource.bottom = height;
    }
}

int ZQInitDirectX(HWND window, int width, int height, int bitDepth) {
    g_hWnd = window;
    g_FullScreen = 1;
    g_nWidth = width;
    g_nHeight = height;
    g_nBitDepth = bitDepth;
    if (!InitDirectX()) {
        ZQPrintError();
        return 0;
    }
    g_rcWindow = RECT{0, 0, width, height};
    g_rcSource = g_rcWindow;
    g_rcDest = g_rcWindow;
    if (!EnterVideoModeWHBD(width, height, bitDepth)) {
        ZQPrintError();
        return 0;
    }
    return 1;
}

// Both windowed start-ups once the back-buffer size is in g_rcWindow.
static int StartWindowed(HWND window) {
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    int screenWidth = 0, screenHeight = 0;
    ScreenSize(&screenWidth, &screenHeight);
    ComputePresentationRects(origin.x, origin.y, screenWidth, screenHeight);
    if (!InitDirectX() ||
        !EnterVideoModeWHBD(g_rcWindow.right, g_rcWindow.bottom, static_cast<int>(g_DisplayBPP))) {
        ZQPrintError();
        return 0;
    }
    return 1;
}

int ZQInitDirectX(HWND window, int width, int height) {
    if (g_FullScreen) {
        DebugLog("SetDirectDrawWindowMode\n");
        SetDirectDrawWindowMode();
    }
    g_FullScreen = 0;
    g_hWnd = window;
    DebugLog("ZQInitDirectX : width=%d,height=%d\n", width, height);
    g_rcWindow = RECT{0, 0, width, height};
    return StartWindowed(window);
}

int ZQInitDirectX(HWND window) {
    if (g_FullScreen) SetDirectDrawWindowMode();
    g_FullScreen = 0;
    g_hWnd = window;
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    g_rcWindow = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return StartWindowed(window);
}

int ZQFreeDirectX() {
    return RestoreDisplayMode();
}

IDirectDraw* ZQGetLPDD() {
    return g_lpDD;
}

void ZQGetDDInfo(IDirectDrawSurface** primary, IDirectDrawSurface** back) {
    if (primary != nullptr) *primary = g_lpPrimary;
    if (back != nullptr) *back = g_lpBackBuffer;
}

unsigned int ZQGetDisplayBPP() {
    return g_DisplayBPP;
}

int ZQCheckDisplayMode(int width, int height, int bitsPerPixel) {
    for (unsigned int i = 0; i < g_nVideoModes && i < NUM_VID_MODES; ++i) {
        const VideoMode& mode = g_VideoModes[i];
        if (mode.width == width && mode.height == height && mode.bitsPerPixel == bitsPerPixel)
            return 1;
    }
    return 0;
}

static int MaskWidth(DWORD mask) {
    if (mask == 0) return 0;
    while ((mask & 1) == 0)
        mask >>= 1;
    int width = 0;
    while ((mask & 1) != 0) {
        ++width;
        mask >>= 1;
    }
    return width;
}

void ZQGetRGBABits(DDPIXELFORMAT* format, int* red, int* green, int* blue, int* alpha) {
    *red = *green = *blue = *alpha = 0;
    if (format == nullptr) return;
    if ((format->dwFlags & DDPF_RGB) == 0 || (format->dwFlags & DDPF_PALETTEINDEXED8) != 0) return;
    *red = MaskWidth(format->dwRBitMask);
    *green = MaskWidth(format->dwGBitMask);
    *blue = MaskWidth(format->dwBBitMask);
    if ((format->dwFlags & DDPF_ALPHAPIXELS) != 0) *alpha = MaskWidth(format->dwRGBAlphaBitMask);
}

void ZQSetWindowXY(int x, int y) {
    int screenWidth = 0, screenHeight = 0;
    ScreenSize(&screenWidth, &screenHeight);
    ComputePresentationRects(x, y, screenWidth, screenHeight);
}

int ZQIsHardwareD3D() {
    return g_bHardware3D;
}
// The next three answer constants: they are the library's interface as designed.
int ZQ8BitTextures() {
    return 0;
}
int ZQAlphaBlending() {
    return 0;
}
int ZQSetViewport(int x, int y, int width, int height) {
    return 1;
}
void junk() {}

// Brings back a surface's memory (not its picture) after a mode change.
static int RestoreIfLost(IDirectDrawSurface* surface) {
    if (surface == nullptr || surface->IsLost() == DD_OK) return 1;
    HRESULT hr = surface->Restore();
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    return 1;
}

int ZQFlip() {
    // Frames counted over a window of just over two seconds, halved, with no
    // correction for the window's real length; kept as designed.
    const uint32_t now = timeGetTime();
    g_dwFpsElapsed += now - g_dwLastFlipTime;
    g_dwLastFlipTime = now;
    if (g_dwFpsElapsed > 2000) {
        g_dwFpsF = static_cast<float>(g_nFpsFrames) * 0.5f;
        g_nFpsFrames = 0;
        g_dwFpsElapsed = 0;
    }
    ++g_nFpsFrames;

    if (g_lpPrimary == nullptr || g_lpBackBuffer == nullptr) return 1;
    if (!RestoreIfLost(g_lpPrimary)) return 0;
    if (!RestoreIfLost(g_lpBackBuffer)) return 0;
    // A blit in both modes, so the back buffer keeps its picture.
    HRESULT hr = g_lpPrimary->Blt(&g_rcDest, g_lpBackBuffer, &g_rcSource, DDBLT_WAIT, nullptr);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    return 1;
}

static int BlitStrip(RECT destination, RECT source) {
    HRESULT hr = g_lpPrimary->Blt(&destination, g_lpBackBuffer, &source, DDBLT_WAIT, nullptr);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    return 1;
}

int ZQFlipExcludeRect(RECT& area) {
    if (g_lpPrimary == nullptr || g_lpBackBuffer == nullptr) return 1;
    if (g_FullScreen) {
        HRESULT hr = g_lpPrimary->Flip(nullptr, DDFLIP_WAIT);
        if (FAILED(hr)) {
            ZQ_REPORT_DD(hr);
            return 0;
        }
        return 1;
    }
    const RECT& d = g_rcDest;
    const RECT& s = g_rcSource;
    if (area.left != 0 && d.top != d.bottom &&
        !BlitStrip({d.left, d.top, d.left + area.left, d.bottom}, {0, 0, area.left, s.bottom}))
        return 0;
    if (d.left + area.right != d.right && d.top != d.bottom &&
        !BlitStrip({d.left + area.right, d.top, d.right, d.bottom},
                   {area.right, 0, s.right, s.bottom}))
        return 0;
    if (area.left != area.right && area.top != 0 &&
        !BlitStrip({d.left + area.left, d.top, d.left + area.right, d.top + area.top},
                   {area.left, 0, area.right, area.top}))
        return 0;
    if (area.left != area.right && d.top + area.bottom != d.bottom &&
        !BlitStrip({d.left + area.left, d.top + area.bottom, d.left + area.right, d.bottom},
                   {area.left, area.bottom, area.right, s.bottom}))
        return 0;
    return 1;
}

float ZQGetFPS() {
    return g_dwFpsF;
}

void ZQShowFPS(int show) {
    g_bShowStats = show;
}

void ZQShowStats() {
    if (!g_bShowStats || g_lpBackBuffer == nullptr) return;
    char text[64];
    snprintf(text, sizeof text, "FPS:%5.2f", static_cast<double>(g_dwFpsF));
    HDC dc = nullptr;
    if (FAILED(g_lpBackBuffer->GetDC(&dc)) || dc == nullptr) return;
    const unsigned long length = strlen(text);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0x008080FF);
    const int x = static_cast<int>((static_cast<unsigned>(g_nModeWidth) >> 1) -
                                   ((length * g_CharWidth) >> 1));
    const int y = static_cast<int>(g_nModeHeight - static_cast<long>(g_FontHeight));
    TextOutA(dc, x, y, text, static_cast<int>(length));
    g_lpBackBuffer->ReleaseDC(dc);
}

void ZQVideoMemoryStats(unsigned long& total, unsigned long& free) {
    if (g_lpDD == nullptr) return;
    IDirectDraw2* dd2 = nullptr;
    if (FAILED(g_lpDD->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&dd2))) ||
        dd2 == nullptr)
        return;
    DDSCAPS caps;
    memset(&caps, 0, sizeof caps);
    caps.dwCaps = DDSCAPS_TEXTURE;
    DWORD vidTotal = 0, vidFree = 0;
    if (SUCCEEDED(dd2->GetAvailableVidMem(&caps, &vidTotal, &vidFree))) {
        g_dwVidMemTotal = vidTotal;
        g_dwVidMemFree = vidFree;
    }
    dd2->Release();
    total = g_dwVidMemTotal;
    free = g_dwVidMemFree;
    DebugLog("ZQVideoMemoryStats : total=%8d, free=%8d\n", static_cast<int>(total),
             static_cast<int>(free));
}
