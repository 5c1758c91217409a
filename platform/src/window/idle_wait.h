// The idle wait of PeekMessageA (messages.cpp): what may end it early.
#pragma once

namespace ludora::window {

// Ends the idle wait at once, from any thread: input was injected that the
// next pump delivers.
void wake_idle_wait();

} // namespace ludora::window
