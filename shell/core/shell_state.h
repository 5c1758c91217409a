// The program's window, display pointers, activity and configured geometry.
// One per process; every field starts at zero, null or false.
#pragma once

#include <cstdint>

#include <windows.h>
#include <ddraw.h>

struct ShellState {
    HINSTANCE instance;
    HWND window;
    char title[256];          // base window title
    char programName[256];    // game only: handed to the launcher on "menu"
    char launcherFolder[256]; // game only: its command line
    bool fullScreen;
    int32_t active; // no frame work while 0
    bool showFps;
    int32_t windowX, windowY;
    int32_t windowWidth, windowHeight;
    int32_t clientWidth, clientHeight;
    int32_t drawOffsetX, drawOffsetY; // subtracted from mouse positions while maximised
    IDirectDraw* directDraw;          // borrowed from zq
    IDirectDrawSurface* primarySurface;
    IDirectDrawSurface* backSurface;
    float lastFps;
};

extern ShellState g_ShellState;

// Each copies its text cut at 255 characters.
void SetProgramName(const char* text);
void SetLauncherFolder(const char* text);
void SetWindowTitle(const char* text);
// Caption "%s - %s": the base title, then the text. The base title stays.
void SetTitleSuffix(const char* text);
