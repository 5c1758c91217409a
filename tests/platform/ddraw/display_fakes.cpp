#include "display_fakes.h"

#include "core/host.h"

namespace ddraw_test {

namespace {

std::vector<Frame> g_frames;
RECT g_client{0, 0, 640, 480};
int g_window_tag;

} // namespace

void clear_frames() {
    g_frames.clear();
}
int frame_count() {
    return static_cast<int>(g_frames.size());
}
const Frame& last_frame() {
    return g_frames.back();
}

HWND fake_window() {
    return reinterpret_cast<HWND>(&g_window_tag);
}

void place_fake_window(int x, int y, int width, int height) {
    g_client = RECT{x, y, x + width, y + height};
}

} // namespace ddraw_test

namespace ludora::host {

void present(HWND window, const uint32_t* xrgb, int width, int height, int pitch, bool fullscreen) {
    ddraw_test::Frame f;
    f.window = window;
    f.width = width;
    f.height = height;
    f.fullscreen = fullscreen;
    for (int y = 0; y < height; ++y) {
        f.pixels.insert(f.pixels.end(), xrgb + static_cast<ptrdiff_t>(y) * pitch,
                        xrgb + static_cast<ptrdiff_t>(y) * pitch + width);
    }
    ddraw_test::g_frames.push_back(std::move(f));
}

} // namespace ludora::host

extern "C" BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
    if (window != ddraw_test::fake_window() || !rect) return FALSE;
    *rect = RECT{0, 0, ddraw_test::g_client.right - ddraw_test::g_client.left,
                 ddraw_test::g_client.bottom - ddraw_test::g_client.top};
    return TRUE;
}

extern "C" BOOL WINAPI ClientToScreen(HWND window, LPPOINT point) {
    if (window != ddraw_test::fake_window() || !point) return FALSE;
    point->x += ddraw_test::g_client.left;
    point->y += ddraw_test::g_client.top;
    return TRUE;
}
