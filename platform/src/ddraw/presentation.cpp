// Showing the primary surface: the whole mode in full-screen mode, the part under
// the window's client area in windowed mode.
#include "ddraw/clipper.h"
#include "ddraw/shown_picture.h"
#include "ddraw/surface.h"
#include "ddraw/surface_registry.h"

#include "core/host_services.h"

#include <ludora/harness_video.h>

#include <mutex>
#include <vector>

namespace ludora::video {

void present_primary(const Surface& front) {
    const Display& display = front.display();
    const Canvas c = front.canvas();
    HWND window = display.window;
    RECT client = canvas_rect(c);
    const bool fullscreen = display.fullscreen();
    if (!fullscreen) {
        if (front.clipper() && front.clipper()->window()) window = front.clipper()->window();
        if (!window || !host::services().client_on_screen(window, &client)) return;
    }
    const int w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= 0) return;
    // One picture is shown at a time: the frame stays put while the window area shows it.
    static std::mutex* mutex = new std::mutex;
    static ShownPicture* shown = new ShownPicture;
    std::lock_guard lock(*mutex);
    FrameRows rows;
    const std::vector<uint32_t>& frame =
        shown->frame_for(c, front.id(), front.damage(), rect_intersect(client, canvas_rect(c)),
                         POINT{client.left, client.top}, w, h, window, fullscreen, rows);
    host::services().present(window, frame.data(), w, h, w, fullscreen ? 1 : 0, rows.top,
                             rows.bottom);
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
