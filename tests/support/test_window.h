// A visible top-level window of the layer for in-process tests, and its
// messages taken as a frame's pump would. Header-only: the tests that
// include it link the layer.
#pragma once

#include <windows.h>

namespace testkit {

// A popup window whose client area is width by height at (x, y); its class
// is registered every time (resetting the windows may forget it).
inline HWND MakeTestWindow(const char* name, int width, int height,
                           WNDPROC procedure = DefWindowProcA, int x = 0, int y = 0) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, WS_POPUP | WS_VISIBLE, FALSE);
    return CreateWindowExA(0, name, name, WS_POPUP | WS_VISIBLE, x, y, frame.right - frame.left,
                           frame.bottom - frame.top, nullptr, nullptr, nullptr, nullptr);
}

// Takes every waiting message.
inline void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

} // namespace testkit
