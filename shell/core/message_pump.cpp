#include "shell/core/message_pump.h"

#include <atomic>

#include <windows.h>

namespace {
std::atomic<void (*)()> messageTakenHook{nullptr};
}

void SetMessageTakenHook(void (*hook)()) {
    messageTakenHook.store(hook);
}

int PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        // The key queue is fed once per message taken, before it is looked at.
        if (void (*hook)() = messageTakenHook.load()) {
            hook();
        }
        if (message.message == WM_QUIT) {
            // Posted again, so that every enclosing loop sees it too.
            PostQuitMessage(static_cast<int>(message.wParam));
            return 1;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
