// The one display of the process: DirectDraw objects, modes and the
// rectangles that map the back buffer onto the screen.
#pragma once

#include <cstdint>

#include <windows.h>
#include <ddraw.h>

#define NUM_VID_MODES 100

struct VideoMode {
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel;
};

extern IDirectDraw* g_lpDD;
extern IDirectDrawSurface* g_lpPrimary;
extern IDirectDrawSurface* g_lpBackBuffer;
extern IDirectDrawClipper* g_lpClipper;
extern IDirectDrawPalette* g_lpPalette;
extern PALETTEENTRY g_PaletteEntries[256];
extern int g_FullScreen;
extern HWND g_hWnd;
extern HINSTANCE g_hInstance;
extern int g_nWidth, g_nHeight, g_nBitDepth;
extern RECT g_rcWindow;
extern RECT g_rcDest;
extern RECT g_rcSource;
extern unsigned int g_DisplayBPP;
extern DDCAPS g_DDCapsDriver, g_DDCapsHEL;
extern int g_bHardware3D;
extern uint32_t g_dwVidMemTotal, g_dwVidMemFree;
extern VideoMode g_VideoModes[NUM_VID_MODES];
extern unsigned int g_nVideoModes;
extern int g_nModeWidth, g_nModeHeight, g_nModeBPP;
extern unsigned long g_FontHeight, g_CharWidth;

// Start-up common to every display mode: DirectDraw object, desktop mode,
// capabilities and the mode list.
int InitDirectX();
// Creates the surfaces of the mode chosen by g_FullScreen.
int EnterVideoModeWHBD(int width, int height, int bitDepth);
// Leaves full-screen before a windowed start-up.
int SetDirectDrawWindowMode();
// Releases every surface and the DirectDraw object.
int RestoreDisplayMode();
BOOL WINAPI DDEnumCallback(GUID* guid, LPSTR description, LPSTR driverName, LPVOID context);
HRESULT WINAPI DDEnumDisplayModesCallback(LPDDSURFACEDESC mode, LPVOID context);
// The part of the window that lies on the screen: g_rcDest and g_rcSource for
// a client origin (x, y) on a screen of screenWidth by screenHeight.
void ComputePresentationRects(int x, int y, int screenWidth, int screenHeight);
