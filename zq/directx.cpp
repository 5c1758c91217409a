// DirectDraw set-up, display modes and release.
#include "display_state.h"

#include "diagnostics.h"
#include "zq.h"

#include <string.h>

#define ZQ_MODULE "zq/directx.cpp"

IDirectDraw* g_lpDD = nullptr;
IDirectDrawSurface* g_lpPrimary = nullptr;
IDirectDrawSurface* g_lpBackBuffer = nullptr;
IDirectDrawClipper* g_lpClipper = nullptr;
IDirectDrawPalette* g_lpPalette = nullptr;
PALETTEENTRY g_PaletteEntries[256];
int g_FullScreen = 0;
HWND g_hWnd = nullptr;
HINSTANCE g_hInstance = nullptr;
int g_nWidth = 0, g_nHeight = 0, g_nBitDepth = 0;
RECT g_rcWindow;
RECT g_rcDest;
RECT g_rcSource;
unsigned int g_DisplayBPP = 0;
DDCAPS g_DDCapsDriver, g_DDCapsHEL;
int g_bHardware3D = 0;
uint32_t g_dwVidMemTotal = 0, g_dwVidMemFree = 0;
VideoMode g_VideoModes[NUM_VID_MODES];
unsigned int g_nVideoModes = 0;
int g_nModeWidth = 0, g_nModeHeight = 0, g_nModeBPP = 0;
unsigned long g_FontHeight = 0, g_CharWidth = 0;

static void ClearCaps(DDCAPS* caps) {
    memset(caps, 0, sizeof *caps);
    caps->dwSize = sizeof *caps;
}

BOOL WINAPI DDEnumCallback(GUID* guid, LPSTR description, LPSTR driverName, LPVOID context) {
    DebugLog("DDEnumCallback()\n");
    // The primary display driver is created by InitDirectX itself.
    if (guid == nullptr) return DDENUMRET_OK;

    // Any other device is only probed: created, asked for its caps, released.
    IDirectDraw* probe = nullptr;
    HRESULT hr = DirectDrawCreate(guid, &probe, nullptr);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return DDENUMRET_CANCEL;
    }
    DebugLog("CREATE:<%p>%s\n", static_cast<void*>(probe), "DDEnumCallback : lpDD");
    DDCAPS driverCaps, helCaps;
    ClearCaps(&driverCaps);
    ClearCaps(&helCaps);
    hr = probe->GetCaps(&driverCaps, &helCaps);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        probe->Release();
        return DDENUMRET_CANCEL;
    }
    *static_cast<IDirectDraw**>(context) = nullptr;
    ULONG count = probe->Release();
    DebugLog("RELEASE:<%p>%s->Release()=%d\n", static_cast<void*>(probe), "DDEnumCallback(): lpDD",
             static_cast<int>(count));
    return DDENUMRET_OK;
}

HRESULT WINAPI DDEnumDisplayModesCallback(LPDDSURFACEDESC mode, LPVOID context) {
    if (g_nVideoModes < NUM_VID_MODES) {
        VideoMode& entry = g_VideoModes[g_nVideoModes++];
        entry.width = static_cast<int32_t>(mode->dwWidth);
        entry.height = static_cast<int32_t>(mode->dwHeight);
        entry.bitsPerPixel = static_cast<int32_t>(mode->ddpfPixelFormat.dwRGBBitCount);
    }
    if (g_nVideoModes >= NUM_VID_MODES)
        ReportErrorF("DDEnumDisplayModesCallback::exceeded NUM_VID_MODES <%d>\n", NUM_VID_MODES);
    return DDENUMRET_OK;
}

int InitDirectX() {
    RestoreDisplayMode();
    DebugLog("InitDirectX(), width=%d,height=%d,bitdepth=%d\n", g_nWidth, g_nHeight, g_nBitDepth);

    HRESULT hr = DirectDrawEnumerateA(DDEnumCallback, &g_lpDD);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    DebugLog("DirectDrawEnumerate\n");
    if (g_lpDD == nullptr) {
        hr = DirectDrawCreate(nullptr, &g_lpDD, nullptr);
        if (FAILED(hr)) {
            ZQ_REPORT_DD(hr);
            return 0;
        }
        DebugLog("CREATE:<%p>%s\n", static_cast<void*>(g_lpDD), "InitDirectX : g_lpDD");
    }

    DDSURFACEDESC desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    ClearCaps(&g_DDCapsDriver);
    ClearCaps(&g_DDCapsHEL);
    hr = g_lpDD->GetDisplayMode(&desc);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    g_DisplayBPP = desc.ddpfPixelFormat.dwRGBBitCount;

    hr = g_lpDD->GetCaps(&g_DDCapsDriver, &g_DDCapsHEL);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    g_bHardware3D = (g_DDCapsDriver.dwCaps & DDCAPS_3D) != 0 ? 1 : 0;
    g_dwVidMemTotal = g_DDCapsDriver.dwVidMemFree;

    g_nVideoModes = 0;
    hr = g_lpDD->EnumDisplayModes(0, nullptr, nullptr, DDEnumDisplayModesCallback);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    return 1;
}

static int EnterFullScreen(int width, int height, int bitDepth) {
    HRESULT hr =
        g_lpDD->SetCooperativeLevel(g_hWnd, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    DebugLog("SetCooperativeLevel(EXCLUSIVE)\n");
    hr = g_lpDD->SetDisplayMode(width, height, bitDepth);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    DebugLog("SetDisplayMode(%d,%d,%d)\n", width, height, bitDepth);

    DDSURFACEDESC desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    if (width == 320 && (height == 240 || height == 200)) desc.ddsCaps.dwCaps |= DDSCAPS_MODEX;
    hr = g_lpDD->CreateSurface(&desc, &g_lpPrimary, nullptr);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    DebugLog("CREATE:<%p>%s\n", static_cast<void*>(g_lpPrimary), "EnterVideoMode : g_lpPrimary");

    DDSCAPS backCaps;
    memset(&backCaps, 0, sizeof backCaps);
    backCaps.dwCaps = DDSCAPS_BACKBUFFER;
    hr = g_lpPrimary->GetAttachedSurface(&backCaps, &g_lpBackBuffer);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    DebugLog("CREATE:<%p>%s\n", static_cast<void*>(g_lpBackBuffer),
             "EnterVideoMode : g_lpBackBuffer");
    return 1;
}

static int EnterWindowed(int width, int height) {
    DebugLog("RestoreDisplayMode\n");
    HRESULT hr = g_lpDD->RestoreDisplayMode();
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    DebugLog("SetCooperativeLevel(NORMAL)\n");
    hr = g_lpDD->SetCooperativeLevel(g_hWnd, DDSCL_NORMAL);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }

    DDSURFACEDESC desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    hr = g_lpDD->CreateSurface(&desc, &g_lpPrimary, nullptr);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    DebugLog("CREATE:<%p>%s\n", static_cast<void*>(g_lpPrimary), "EnterVideoMode : g_lpPrimary");

    hr = g_lpDD->CreateClipper(0, &g_lpClipper, nullptr);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    DebugLog("CREATE:<%p>%s\n", static_cast<void*>(g_lpClipper), "EnterVideoMode : g_lpClipper");
    hr = g_lpClipper->SetHWnd(0, g_hWnd);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    hr = g_lpPrimary->SetClipper(g_lpClipper);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }

    // No pixel format: the back buffer takes the display's.
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER | DDSCAPS_3DDEVICE |
                          (g_bHardware3D ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
    hr = g_lpDD->CreateSurface(&desc, &g_lpBackBuffer, nullptr);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    DebugLog("CREATE:<%p>%s\n", static_cast<void*>(g_lpBackBuffer),
             "EnterVideoMode : g_lpBackBuffer");
    return 1;
}

// Locks and unlocks at once, to learn the pitch.
static int LogPitch(IDirectDrawSurface* surface, const char* format) {
    DDSURFACEDESC desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    HRESULT hr = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    hr = surface->Unlock(desc.lpSurface);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    DebugLog(format, static_cast<int>(desc.lPitch));
    return 1;
}

int EnterVideoModeWHBD(int width, int height, int bitDepth) {
    DebugLog("EnterVideoModeWHBD(%d,%d,%d),g_FullScreen=%d\n", width, height, bitDepth,
             g_FullScreen);
    if (g_lpDD == nullptr) return 0;
    int entered =
        g_FullScreen ? EnterFullScreen(width, height, bitDepth) : EnterWindowed(width, height);
    if (!entered) return 0;

    if (!LogPitch(g_lpPrimary, "Primary Pitch = %d\n")) return 0;
    if (!LogPitch(g_lpBackBuffer, "Backbuffer Pitch = %d\n")) return 0;

    DDSCAPS caps;
    memset(&caps, 0, sizeof caps);
    HRESULT hr = g_lpPrimary->GetCaps(&caps);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    if (bitDepth == 8 && (caps.dwCaps & DDSCAPS_VISIBLE) != 0) {
        hr = g_lpDD->CreatePalette(DDPCAPS_8BIT, g_PaletteEntries, &g_lpPalette, nullptr);
        if (FAILED(hr)) {
            ZQ_REPORT_DD(hr);
            return 0;
        }
        hr = g_lpBackBuffer->SetPalette(g_lpPalette);
        if (FAILED(hr)) {
            ZQ_REPORT_DD(hr);
            return 0;
        }
        hr = g_lpPrimary->SetPalette(g_lpPalette);
        if (FAILED(hr)) {
            ZQ_REPORT_DD(hr);
            return 0;
        }
    }

    g_nModeWidth = width;
    g_nModeHeight = height;
    g_nModeBPP = bitDepth;
    HDC dc = GetDC(g_hWnd);
    if (dc != nullptr) {
        TEXTMETRICA metrics;
        if (GetTextMetricsA(dc, &metrics)) {
            g_FontHeight = static_cast<unsigned long>(metrics.tmHeight);
            g_CharWidth = static_cast<unsigned long>(metrics.tmAveCharWidth);
        }
        ReleaseDC(g_hWnd, dc);
    }
    g_dwVidMemFree = g_DDCapsDriver.dwVidMemFree;
    return 1;
}

int SetDirectDrawWindowMode() {
    if (g_lpDD == nullptr) return 1; // nothing is full-screen any more
    HRESULT hr = g_lpDD->RestoreDisplayMode();
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    hr = g_lpDD->SetCooperativeLevel(g_hWnd, DDSCL_NORMAL);
    if (FAILED(hr)) {
        ZQ_REPORT_DD(hr);
        return 0;
    }
    return 1;
}

// Our reference is given up whatever count Release reports: a surface of a
// flipping chain may outlive our pointer's use, but never our ownership.
template <typename Object> static void ReleaseTraced(Object*& object, const char* label) {
    if (object == nullptr) {
        DebugLog("RELEASE:<%p>%s already NULL\n", static_cast<void*>(nullptr), label);
        return;
    }
    Object* released = object;
    ULONG count = released->Release();
    DebugLog("RELEASE:<%p>%s->Release()=%d\n", static_cast<void*>(released), label,
             static_cast<int>(count));
    object = nullptr;
}

int RestoreDisplayMode() {
    ReleaseTraced(g_lpBackBuffer, "g_lpBackBuffer");
    ReleaseTraced(g_lpPrimary, "g_lpPrimary");
    ReleaseTraced(g_lpClipper, "g_lpClipper");
    // The surfaces held the palette; our own creation reference goes too.
    if (g_lpPalette != nullptr) {
        g_lpPalette->Release();
        g_lpPalette = nullptr;
    }
    if (g_FullScreen) {
        if (g_lpDD != nullptr) {
            HRESULT hr = g_lpDD->RestoreDisplayMode();
            if (FAILED(hr)) {
                ZQ_REPORT_DD(hr);
                return 0;
            }
        }
        DebugLog("RestoreDisplayMode()\n");
    }
    ReleaseTraced(g_lpDD, "g_lpDD");
    return 1;
}
