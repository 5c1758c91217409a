// The mixer's events and messages go out through the Win32 API of the kernel
// and window areas, once the mixer's lock is released.
#include "dsound/voice.h"

#include <winbase.h>
#include <winuser.h>

namespace ludora::audio {

void deliver(const Signals& signals) {
    for (const Signal& signal : signals) {
        if (signal.event != nullptr) {
            SetEvent(signal.event);
        } else if (signal.message != 0) {
            PostMessageA(signal.window, signal.message, signal.wparam, signal.lparam);
        }
    }
}

} // namespace ludora::audio
