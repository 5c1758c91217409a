// Stand-ins for the window area in DirectDraw tests, put in force through the
// harness's host services: a window at a chosen place on the screen and a
// record of every presented frame.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace ddraw_test {

struct Frame {
    HWND window = nullptr;
    int width = 0;
    int height = 0;
    bool fullscreen = false;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Every later frame is recorded; the list starts empty.
void clear_frames();
int frame_count();
const Frame& last_frame();

// The fake window's client area, in screen coordinates.
HWND fake_window();
void place_fake_window(int x, int y, int width, int height);

} // namespace ddraw_test
