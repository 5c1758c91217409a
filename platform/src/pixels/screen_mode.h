// The screen the programs see: its size and pixel format. The desktop of
// LUDORA_DESKTOP until a program sets a display mode with DirectDraw; GDI and
// the system metrics follow it.
#pragma once

#include "pixels/pixel_format.h"

namespace ludora::pixels {

struct DisplayMode {
    int width = 0;
    int height = 0;
    PixelFormat format;
};

// The desktop of LUDORA_DESKTOP (1024x768 at 16 bits by default).
DisplayMode desktop_mode();
// The mode last set by SetDisplayMode, else the desktop.
DisplayMode screen_mode();
void set_screen_mode(const DisplayMode& mode);
void reset_screen_mode();

} // namespace ludora::pixels
