// Presentation: finished frames from DirectDraw go to the driver, and the last
// one is kept for the script's `shot`.
#pragma once

#include <windef.h>

#include <cstdint>

namespace ludora::window {

// Shows one frame (see host::Services::present); frames beyond any real mode are refused.
void present_frame(HWND window, const uint32_t* xrgb, int width, int height, int pitch,
                   int fullscreen, int changed_top, int changed_bottom);
// The same with every row changed.
void present_whole_frame(HWND window, const uint32_t* xrgb, int width, int height, int pitch,
                         int fullscreen);
// The client area of `window` in screen coordinates; 0 when there is no such window.
int client_on_screen(HWND window, RECT* client);
// Saves the last presented frame as a 24-bit BMP (a black client area before
// the first). 1 on success.
int save_last_frame(const char* path);
bool last_frame_size(int& width, int& height);
// Frames presented since the layer started.
uint64_t frames_presented();
void forget_last_frame();

} // namespace ludora::window
