#include "window/display_events.h"

#include "window/x_display.h"

#include <SDL.h>

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
    void* display = x_display_of(window);
    if (!display) return;
    using ConnectionNumber = int (*)(void*);
    const auto connection = xlib_function<ConnectionNumber>("XConnectionNumber");
    const auto queued = xlib_function<EventsQueued>("XEventsQueued");
    if (!connection || !queued) return;
    display_ = display;
    fd_ = connection(display);
    events_queued_ = queued;
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
