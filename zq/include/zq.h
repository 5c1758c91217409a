// zq: the graphics and input library of the Ludora suite. One DirectDraw
// display per process (full-screen or windowed), BMP pictures in surfaces,
// presentation with a frame-rate measure, DirectInput devices, system-font
// text, surface tools and a switchable debug log.
#pragma once

// The library speaks DirectInput 5 (DirectInputCreateA and the version-5 devices).
#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0500
#endif

#include <windows.h>
#include <ddraw.h>
#include <dinput.h>

// On Windows zq is a DLL exporting exactly the functions and globals below.
#if defined(_WIN32)
#if defined(ZQ_BUILDING_DLL)
#define ZQ_API __declspec(dllexport)
#else
#define ZQ_API __declspec(dllimport)
#endif
#else
#define ZQ_API
#endif

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
ZQ_API void ZQSetInstance(HINSTANCE instance);
ZQ_API int ZQInitDirectX(HWND window, int width, int height, int bitDepth); // full-screen
ZQ_API int ZQInitDirectX(HWND window, int width, int height);               // windowed
ZQ_API int ZQInitDirectX(HWND window); // windowed, back buffer of the client size
ZQ_API int ZQFreeDirectX();
ZQ_API IDirectDraw* ZQGetLPDD();
ZQ_API void ZQGetDDInfo(IDirectDrawSurface** primary, IDirectDrawSurface** back);
ZQ_API unsigned int ZQGetDisplayBPP();
ZQ_API int ZQCheckDisplayMode(int width, int height, int bitsPerPixel);
ZQ_API void ZQGetRGBABits(DDPIXELFORMAT* format, int* red, int* green, int* blue, int* alpha);
ZQ_API void ZQSetWindowXY(int x, int y);
ZQ_API int ZQIsHardwareD3D();
ZQ_API int ZQ8BitTextures();
ZQ_API int ZQAlphaBlending();
ZQ_API int ZQSetViewport(int x, int y, int width, int height);
ZQ_API void ZQPrintError();
ZQ_API void junk();

// Presentation and statistics.
extern ZQ_API float g_dwFpsF;
ZQ_API int ZQFlip();
ZQ_API int ZQFlipExcludeRect(RECT& area);
ZQ_API float ZQGetFPS();
ZQ_API void ZQShowFPS(int show);
ZQ_API void ZQShowStats();
ZQ_API void ZQVideoMemoryStats(unsigned long& total, unsigned long& free);

// Bitmaps. The caller owns (and releases) the returned surface.
ZQ_API IDirectDrawSurface* ZQLoadBitmap(const char* fileName);
ZQ_API IDirectDrawSurface* ZQLoadBitmap(const char* fileName, int bitDepth);
ZQ_API IDirectDrawSurface* ZQLoadBitmap(IDirectDraw* directDraw, const char* fileName, int loader);

// Input devices.
extern ZQ_API IDirectInputDevice* g_lpKBDevice;
ZQ_API IDirectInput* ZQInitDirectInput(HINSTANCE instance);
ZQ_API void ZQFreeDirectInput();
ZQ_API int ZQInitKeyboard();
ZQ_API unsigned char* ZQGetKeys();
ZQ_API int ZQInitMouse();
ZQ_API int ZQAcquireMouse(int acquire);
ZQ_API void ZQGetMouseData(int* dx, int* dy, int* buttons);
ZQ_API void ZQInitJoystick();
ZQ_API BOOL CALLBACK ZQInitJoystickInput(const DIDEVICEINSTANCEA* instance, void* directInput);
ZQ_API int ZQReacquireInput();
ZQ_API int ZQReadJoystickInput(DIJOYSTATE* state);

// Fonts and text.
ZQ_API void ZQInitFont(HWND window);
ZQ_API _fontTypes_e ZQSetFont(_fontTypes_e type);
ZQ_API _fontTypes_e ZQGetFont();
ZQ_API unsigned long ZQGetFontHeight();
ZQ_API unsigned long ZQGetCharWidth();
ZQ_API int ZQDrawText(IDirectDrawSurface* surface, const char* text, int x, int y,
                      unsigned long colour, _fontTypes_e type);
ZQ_API int ZQPrintString(const char* text, int x, int y);
ZQ_API void ZQFreeFont();

// Surface subdivision and BMP writing.
ZQ_API int ZQWriteSurfaceToBMPFile(const char* fileName, IDirectDrawSurface* surface);
ZQ_API int ZQSubdivideSurface(const char* path, IDirectDrawSurface* surface, int columns, int rows);

// Diagnostics ("debug.log" in the current directory, only when enabled).
ZQ_API void ZQDebugEnable(int on);
ZQ_API void ZQRegError(const char* text);
