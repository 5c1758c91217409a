// Window geometry from the window area. The references are weak so the display
// keeps working (without windows) in a build or test that has no window area.
#include "ddraw/clipper.h"

#include <winuser.h>

#pragma weak GetClientRect
#pragma weak ClientToScreen

namespace ludora::video {

bool window_client_on_screen(HWND window, RECT& out) {
    if (!window || !&GetClientRect || !&ClientToScreen) return false;
    RECT client{};
    if (!GetClientRect(window, &client)) return false;
    POINT origin{0, 0};
    if (!ClientToScreen(window, &origin)) return false;
    out = RECT{origin.x, origin.y, origin.x + (client.right - client.left),
               origin.y + (client.bottom - client.top)};
    return true;
}

} // namespace ludora::video
