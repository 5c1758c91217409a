// DirectInput devices of the library.
#pragma once

#include <windows.h>
#include <dinput.h>

#include <atomic>

extern IDirectInput* g_lpdi;
extern BYTE g_KeyState[256];
// The pointer's timer thread reads the mouse while the main thread acquires
// and releases it.
extern std::atomic<IDirectInputDevice*> g_lpMouse;
extern std::atomic<int> g_bMouseAcquired;
extern IDirectInputDevice2* g_lpJoystick;
