// Start-up, the main window, the main loop, the window procedure, the splash
// and credit pictures and the shut-down: one shell for both programs, told
// apart by a small description of the program.
#pragma once

#include <cstdint>

#include <windows.h>
#include <ddraw.h>

struct ProgramDescription {
    const char* title;       // "Pearl Wreck" or "TovikGames Ludora"
    const char* programName; // "Pearlwreck" for the game; null for the launcher
    bool isLauncher; // the launcher: fixed 800 x 600 window, zq's log on, display 2 pixels narrower
    const char* optionsPath; // where the music and sound switches are read at start-up
};

extern const ProgramDescription PearlwreckProgram;
extern const ProgramDescription LudoraProgram;

// The program StartUp was given (the game's until then).
const ProgramDescription& CurrentProgram();

// The DirectX probe of start-up is DirectDrawCreate; a test program installs
// a failing one to see the start-up refuse. Null puts DirectDrawCreate back.
using DirectDrawProbe = HRESULT(WINAPI*)(GUID FAR*, LPDIRECTDRAW FAR*, IUnknown FAR*);
void SetDirectDrawProbe(DirectDrawProbe probe);

// The members of the window class "DirectX Class".
void FillWindowClass(WNDCLASSA& windowClass);

// True when the program may run.
bool StartUp(const ProgramDescription& program, HINSTANCE instance, HINSTANCE previous,
             LPSTR commandLine, int showCommand);
int RegisterWindowClass();
int CreateMainWindow();
void MainLoop();
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ShowPicture(const char* path);
void WaitOrClick(int32_t milliseconds);
// WM_DESTROY's sequence: clock, scenes, pointer, devices, sound.
void ShutDown();
