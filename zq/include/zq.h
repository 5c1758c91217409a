// zq: the graphics and input library of the Ludora suite. One DirectDraw
// display per process (full-screen or windowed), BMP pictures in surfaces,
// presentation with a frame-rate measure, DirectInput devices, system-font
// text, surface tools and a switchable debug log.
#pragma once

#include <windows.h>
#include <ddraw.h>
#include <dinput.h>

// The seven Arial sizes; -1 passed to ZQDrawText means the current font.
enum _fontTypes_e {
    ZQ_FONT_CURRENT = -1,
    ZQ_FONT_8 = 0,
    ZQ_FONT_10 = 1,
    ZQ_FONT_12 = 2,
    ZQ_FONT_14 = 3,
    ZQ_FONT_16 = 4,
    ZQ_FONT_24 = 5,
    ZQ_FONT_36 = 6,
};

// Display set-up and modes.
void ZQSetInstance(HINSTANCE instance);
int ZQInitDirectX(HWND window, int width, int height, int bitDepth); // full-screen
int ZQInitDirectX(HWND window, int width, int height);               // windowed
int ZQInitDirectX(HWND window); // windowed, back buffer of the client size
int ZQFreeDirectX();
IDirectDraw* ZQGetLPDD();
void ZQGetDDInfo(IDirectDrawSurface** primary, IDirectDrawSurface** back);
unsigned int ZQGetDisplayBPP();
int ZQCheckDisplayMode(int width, int height, int bitsPerPixel);
void ZQGetRGBABits(DDPIXELFORMAT* format, int* red, int* green, int* blue, int* alpha);
void ZQSetWindowXY(int x, int y);
int ZQIsHardwareD3D();
int ZQ8BitTextures();
int ZQAlphaBlending();
int ZQSetViewport(int x, int y, int width, int height);
void ZQPrintError();
void junk();

// Presentation and statistics.
extern float g_dwFpsF;
int ZQFlip();
int ZQFlipExcludeRect(RECT& area);
float ZQGetFPS();
void ZQShowFPS(int show);
void ZQShowStats();
void ZQVideoMemoryStats(unsigned long& total, unsigned long& free);

// Bitmaps. The caller owns (and releases) the returned surface.
IDirectDrawSurface* ZQLoadBitmap(const char* fileName);
IDirectDrawSurface* ZQLoadBitmap(const char* fileName, int bitDepth);
IDirectDrawSurface* ZQLoadBitmap(IDirectDraw* directDraw, const char* fileName, int loader);

// Input devices.
extern IDirectInputDevice* g_lpKBDevice;
IDirectInput* ZQInitDirectInput(HINSTANCE instance);
void ZQFreeDirectInput();
int ZQInitKeyboard();
unsigned char* ZQGetKeys();
int ZQInitMouse();
int ZQAcquireMouse(int acquire);
void ZQGetMouseData(int* dx, int* dy, int* buttons);
void ZQInitJoystick();
BOOL CALLBACK ZQInitJoystickInput(const DIDEVICEINSTANCEA* instance, void* directInput);
int ZQReacquireInput();
int ZQReadJoystickInput(DIJOYSTATE* state);

// Fonts and text.
void ZQInitFont(HWND window);
_fontTypes_e ZQSetFont(_fontTypes_e type);
_fontTypes_e ZQGetFont();
unsigned long ZQGetFontHeight();
unsigned long ZQGetCharWidth();
int ZQDrawText(IDirectDrawSurface* surface, const char* text, int x, int y, unsigned long colour,
               _fontTypes_e type);
int ZQPrintString(const char* text, int x, int y);
void ZQFreeFont();

// Surface subdivision and BMP writing.
int ZQWriteSurfaceToBMPFile(const char* fileName, IDirectDrawSurface* surface);
int ZQSubdivideSurface(const char* path, IDirectDrawSurface* surface, int columns, int rows);

// Diagnostics ("debug.log" in the current directory, only when enabled).
void ZQDebugEnable(int on);
void ZQRegError(const char* text);
