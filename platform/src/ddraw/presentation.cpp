// Showing the primary surface: the whole mode in full-screen mode, the part under
// the window's client area in windowed mode.
#include "ddraw/clipper.h"
#include "ddraw/surface.h"
#include "ddraw/surface_registry.h"

#include "core/host_services.h"

#include <ludora/harness_video.h>

#include <vector>

namespace ludora::video {

void present_primary(const Surface& front) {
    const Display& display = front.display();
    const Canvas c = front.canvas();
    if (display.fullscreen()) {
        std::vector<uint32_t> frame(static_cast<size_t>(c.width) * c.height);
        convert_to_xrgb(c, canvas_rect(c), frame.data(), c.width);
        host::services().present(display.window, frame.data(), c.width, c.height, c.width, 1);
        return;
    }
    HWND window =
        front.clipper() && front.clipper()->window() ? front.clipper()->window() : display.window;
    RECT client;
    if (!window || !host::services().client_on_screen(window, &client)) return;
    const int w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= 0) return;
    // What lies off the screen shows black.
    std::vector<uint32_t> frame(static_cast<size_t>(w) * h, 0);
    const RECT shown = rect_intersect(client, canvas_rect(c));
    if (!rect_empty(shown)) {
        uint32_t* first = frame.data() + static_cast<ptrdiff_t>(shown.top - client.top) * w +
                          (shown.left - client.left);
        convert_to_xrgb(c, shown, first, w);
    }
    host::services().present(window, frame.data(), w, h, w, 0);
}

void lose_all_surfaces() {
    for_each_surface([](Surface* s) {
        if (s->losable()) s->mark_lost();
    });
}

} // namespace ludora::video

extern "C" void LudoraLoseAllSurfaces() {
    ludora::video::lose_all_surfaces();
}

extern "C" int LudoraReadScreenPixel(int x, int y, uint32_t* xrgb) {
    int found = 0;
    ludora::video::for_each_surface([&](ludora::video::Surface* s) {
        if (!s->is_visible_primary()) return;
        const ludora::video::Canvas c = s->canvas();
        if (x < 0 || y < 0 || x >= c.width || y >= c.height) {
            found = 0;
            return;
        }
        if (xrgb) *xrgb = ludora::video::read_xrgb(c, x, y);
        found = 1;
    });
    return found;
}
