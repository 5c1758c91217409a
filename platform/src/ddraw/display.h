// Display modes and the state one DirectDraw object shares with its surfaces.
#pragma once

#include "ddraw/blitter.h"

#include <ddraw.h>

#include <vector>

namespace ludora::video {

class Surface;

// The modes DirectDraw offers: 320x200, 320x240 and 640x400, then the usual sizes
// from 640x480 up, each at 8, 16 and 32 bits, and the desktop's own mode. 16 bits means the
// desktop's 16-bit layout (5-5-5 on a 15-bit desktop, else 5-6-5).
std::vector<DisplayMode> display_modes();
// Video memory of the emulated card.
constexpr DWORD kVideoMemoryTotal = 8u * 1024u * 1024u;

struct Display {
    DisplayMode mode = desktop_mode();
    HWND window = nullptr;
    DWORD cooperative = 0;
    DWORD video_used = 0;
    Surface* primary = nullptr; // the front buffer, while it exists

    bool fullscreen() const {
        return (cooperative & DDSCL_EXCLUSIVE) && (cooperative & DDSCL_FULLSCREEN);
    }
};

} // namespace ludora::video
