// Seams between the layer's areas. Each function is defined by the area named
// beside it; host_defaults.cpp holds weak stand-ins so every area links and
// behaves (quietly) while another is absent.
#pragma once

#include <windef.h>

#include <cstdint>

namespace ludora::host {

// Window area: shows one frame in the window. `xrgb` holds width x height
// pixels as 0x00RRGGBB, `pitch` pixels apart row to row: the client area in
// windowed mode, the whole display mode in full-screen mode. Keeps the frame
// as "last presented" for the script's `shot`. Paced by the display's refresh
// under SDL; immediate when headless.
void present(HWND window, const uint32_t* xrgb, int width, int height, int pitch, bool fullscreen);

// Window area: saves the last presented frame as a 24-bit BMP. 1 on success.
int save_last_frame(const char* path);

// DirectDraw area: marks every surface lost, as another program's mode change would.
void lose_all_surfaces();

} // namespace ludora::host
