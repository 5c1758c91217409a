// The mixer hands events and messages to the kernel and window areas. They are
// referenced weakly so the layer links while an area is still missing.
#include "dsound/voice.h"

extern "C" {
BOOL WINAPI SetEvent(HANDLE hEvent) __attribute__((weak));
BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) __attribute__((weak));
}

namespace ludora::audio {

void deliver(const Signals& signals) {
    for (const Signal& signal : signals) {
        if (signal.event != nullptr) {
            if (&SetEvent != nullptr) SetEvent(signal.event);
        } else if (signal.message != 0) {
            if (&PostMessageA != nullptr)
                PostMessageA(signal.window, signal.message, signal.wparam, signal.lparam);
        }
    }
}

} // namespace ludora::audio
