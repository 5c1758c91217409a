// Presentation at the display's refresh: a frame is shown no sooner than one
// refresh period after the one before, so a program that presents as fast as
// it can draws at most one frame per refresh. A frame that comes late starts
// the count again rather than letting the next ones catch up in a burst.
#pragma once

#include <chrono>
#include <functional>

namespace ludora::window {

class FramePacer {
public:
    using Clock = std::chrono::steady_clock;
    // The clock and the sleep are the host's unless a test gives its own.
    FramePacer();
    FramePacer(std::function<Clock::time_point()> now,
               std::function<void(Clock::time_point)> sleep_until);

    // Waits until the next refresh of a display refreshing `hz` times a second
    // (60 when `hz` is not positive).
    void wait_for_refresh(int hz);

private:
    std::function<Clock::time_point()> now_;
    std::function<void(Clock::time_point)> sleep_until_;
    Clock::time_point last_{};
    bool started_ = false;
};

} // namespace ludora::window
