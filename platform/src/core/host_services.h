// The services one area of the layer asks of another that sits beside or above
// it, as one table: DirectDraw shows its frames and learns where a window's
// client area lies from the window area, and makes device contexts over its
// surfaces with the GDI area; the window area's input script makes DirectDraw's
// surfaces lost. The table is assembled from the areas' own definitions in
// assembly/host_services.cpp and is in force from the start (it is constant
// data, set before any code runs); a test may replace entries through
// ludora/harness_host.h. Every entry is always set.
#pragma once

#include <windef.h>

#include <cstdint>

namespace ludora::pixels {
struct Canvas;
} // namespace ludora::pixels

namespace ludora::host {

struct Services {
    // Window area: shows one frame in the window. `xrgb` holds width x height
    // pixels as 0x00RRGGBB, `pitch` pixels apart row to row: the client area in
    // windowed mode, the whole display mode in full-screen mode. Keeps the frame
    // as "last presented" for the script's `shot`. Paced by the display's
    // refresh under SDL; immediate when headless. Only rows `changed_top` to
    // `changed_bottom` (exclusive) differ from the frame presented before;
    // none when they are equal, which still waits for the refresh.
    void (*present)(HWND window, const uint32_t* xrgb, int width, int height, int pitch,
                    int fullscreen, int changed_top, int changed_bottom);
    // Window area: the client area of `window` in screen coordinates; 0 when
    // there is no such window.
    int (*client_on_screen)(HWND window, RECT* client);
    // DirectDraw area: marks every surface lost, as another program's mode change would.
    void (*lose_all_surfaces)();
    // GDI area: device contexts over memory DirectDraw owns (IDirectDrawSurface::GetDC).
    // `before_use(owner)` runs once, before the context first reads or writes
    // the memory (never when it is only made and deleted).
    HDC (*create_canvas_dc)
    (const pixels::Canvas& canvas, void (*before_use)(void* owner), void* owner);
    // Returns the bounds of everything drawn through the context (empty when nothing).
    RECT (*delete_canvas_dc)(HDC dc);
    // The surface changed under an outstanding context (a new palette).
    void (*update_canvas_dc)(HDC dc, const pixels::Canvas& canvas);
};

// The table in force; safe from any thread.
const Services& services();
// The table assembled from the areas themselves.
const Services& layer_services();
// Puts a copy of `replacement` in force (tests, through the harness).
void replace_services(const Services& replacement);
// Puts the layer's own table back in force.
void restore_services();

} // namespace ludora::host
