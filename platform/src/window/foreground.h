// What DirectInput asks of the window area about the foreground: which of the
// program's windows has it, and how many times the program has lost it.
#pragma once

#include <windef.h>

#include <cstdint>

namespace ludora::window {

struct ForegroundState {
    HWND window = nullptr;   // the active window while the program has the foreground, else null
    uint32_t generation = 0; // counts the times the program has left the foreground
};

// Both read together, under the window area's lock.
ForegroundState foreground_state();

} // namespace ludora::window
