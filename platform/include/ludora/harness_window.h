// Harness extras of the window and input area: scripted input, activation and
// virtual joysticks for tests. Not part of the Win32 API.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Name of the driver in use: "sdl" or "headless".
const char* LudoraVideoDriverName(void);

// Replaces the running input script with `text` (the LUDORA_SCRIPT language),
// timed from now on the layer clock. Returns the number of lines rejected.
int LudoraRunScript(const char* text);
// 1 once every command of the running script has been carried out.
int LudoraScriptDone(void);

// Input as the user would give it, to the foreground window. Coordinates are
// the window's client coordinates; `vk` a VK_ code; `button` 0 left, 1 right.
void LudoraPostKey(int vk, int down);
void LudoraPostMouseMove(int x, int y);
void LudoraPostMouseButton(int button, int down);
// The application loses (0) or regains (1) the foreground.
void LudoraActivate(int active);
// A click on the close box of the main window.
void LudoraClose(void);

// Size of the last presented frame; 0 when none was presented.
int LudoraLastFrameSize(int* width, int* height);

// How many times PeekMessageA has found the queue empty again with no frame
// presented since it last did, and so waited a moment for a message.
unsigned LudoraIdleWaits(void);

// Destroys every window, empties the queue and forgets all input state, so a
// test starts from a clean process. Messages of the destroyed windows are not sent.
void LudoraResetWindows(void);

// Virtual joysticks, enumerated after the real ones in the order attached.
// Axes 0..5 are X, Y, Z, Rx, Ry, Rz with raw values -32768..32767 (0 centred).
int LudoraAttachJoystick(const char* name);
void LudoraSetJoystickAxis(int joystick, int axis, int value);
void LudoraSetJoystickButton(int joystick, int button, int down);
void LudoraDetachJoystick(int joystick);

#ifdef __cplusplus
}
#endif
