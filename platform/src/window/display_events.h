// Whether SDL's event pump would find anything to read. Pumping an X display
// asks its connection every time (a read that finds nothing, a poll, a scan of
// Xlib's queue), which was a quarter of a still program's frame. The pump is
// skipped while the connection has nothing to read, Xlib has queued no event
// and SDL's own queue is empty; it still runs a few times a second for what
// SDL does on its own clock (the focus changes it delays, joysticks plugged
// in, a quit signal), and every time while a joystick is open.
#pragma once

#include <chrono>

struct SDL_Window;

namespace ludora::window {

class DisplayEvents {
public:
    // The display of the program's first window; until then, and on any
    // display but X, every pump is worth it.
    void watch(SDL_Window* window);
    bool worth_pumping();

private:
    using EventsQueued = int (*)(void* display, int mode);
    void* display_ = nullptr;
    int fd_ = -1;
    EventsQueued events_queued_ = nullptr;
    bool watched_ = false;
    std::chrono::steady_clock::time_point last_pump_{};
};

} // namespace ludora::window
