#include "window/display_events.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <dlfcn.h>
#include <poll.h>

namespace ludora::window {

namespace {

// Often enough that SDL's own timed work is never late by more than a blink.
constexpr auto kLongestUnpumped = std::chrono::milliseconds(100);
constexpr int kQueuedAlready = 0; // XEventsQueued's mode that reads nothing

} // namespace

void DisplayEvents::watch(SDL_Window* window) {
    if (watched_ || !window) return;
    watched_ = true;
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 ||
        !info.info.x11.display)
        return;
    // SDL has loaded Xlib already and keeps it for the program's life.
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!xlib) return;
    using ConnectionNumber = int (*)(Display*);
    auto connection = reinterpret_cast<ConnectionNumber>(dlsym(xlib, "XConnectionNumber"));
    auto queued = reinterpret_cast<EventsQueued>(dlsym(xlib, "XEventsQueued"));
    dlclose(xlib); // drops our reference only: SDL's holds the library
    if (!connection || !queued) return;
    display_ = info.info.x11.display;
    fd_ = connection(info.info.x11.display);
    events_queued_ = queued;
#endif
}

bool DisplayEvents::worth_pumping() {
    const auto now = std::chrono::steady_clock::now();
    bool worth = !events_queued_ || fd_ < 0 || now - last_pump_ >= kLongestUnpumped ||
                 SDL_NumJoysticks() > 0 || SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) ||
                 events_queued_(display_, kQueuedAlready) > 0;
    if (!worth) {
        pollfd connection{fd_, POLLIN, 0};
        worth = poll(&connection, 1, 0) != 0; // readable, or an error SDL should see
    }
    if (worth) last_pump_ = now;
    return worth;
}

} // namespace ludora::window
