#include "display_fakes.h"

#include <ludora/harness_host.h>

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

namespace {

void record_frame(HWND window, const uint32_t* xrgb, int width, int height, int pitch,
                  int fullscreen) {
    Frame f;
    f.window = window;
    f.width = width;
    f.height = height;
    f.fullscreen = fullscreen != 0;
    for (int y = 0; y < height; ++y) {
        f.pixels.insert(f.pixels.end(), xrgb + static_cast<ptrdiff_t>(y) * pitch,
                        xrgb + static_cast<ptrdiff_t>(y) * pitch + width);
    }
    g_frames.push_back(std::move(f));
}

int fake_client_on_screen(HWND window, RECT* client) {
    if (window != fake_window() || !client) return 0;
    *client = g_client;
    return 1;
}

// The fakes stand in for the window area from the start of the test program.
const bool g_installed = [] {
    LudoraHostServices fakes{};
    fakes.present = record_frame;
    fakes.client_on_screen = fake_client_on_screen;
    LudoraSetHostServices(&fakes);
    return true;
}();

} // namespace

} // namespace ddraw_test
