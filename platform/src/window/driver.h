// A video driver: shows the windows, turns the user's input into injected
// events and presents frames. Chosen once by LUDORA_VIDEO (sdl or headless).
#pragma once

#include <windows.h>

#include <cstdint>

namespace ludora::window {

class Driver {
public:
    virtual ~Driver() = default;
    virtual const char* name() const = 0;
    // Reads the host's events and injects them (input.h). Main thread only.
    virtual void pump() = 0;
    virtual void window_shown(HWND hwnd, bool visible) = 0;
    virtual void window_destroyed(HWND hwnd) = 0;
    virtual void window_title(HWND hwnd) = 0;
    virtual void window_geometry(HWND hwnd) = 0;
    virtual void window_activated(HWND hwnd) = 0;
    virtual void warp_cursor(HWND hwnd, int x, int y) = 0;
    virtual void show_cursor(bool visible) = 0;
    // Shows a frame of which only rows `changed_top` to `changed_bottom`
    // (exclusive) differ from the one presented before (none: the same
    // picture, which still waits for the refresh).
    virtual void present(HWND hwnd, const uint32_t* xrgb, int width, int height, int pitch,
                         bool fullscreen, int changed_top, int changed_bottom) = 0;
    // Waits for the host's next event for the program, up to `real_ms`
    // milliseconds, or until wake() (main thread only); false at once when
    // the driver has no host events to wait for.
    virtual bool wait_for_events(int) { return false; }
    // Ends wait_for_events at once; any thread.
    virtual void wake() {}
    // Shows a modal box and returns the IDxx answer; 0 when there is no display.
    virtual int message_box(const char* caption, const char* text, UINT type) = 0;
};

Driver& driver();
Driver* make_headless_driver();
// Null when SDL cannot start video.
Driver* make_sdl_driver();
// The browser page's canvas (WebAssembly build only).
Driver* make_web_driver();

} // namespace ludora::window
