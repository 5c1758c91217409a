// Stops the site cleanly on SIGINT and SIGTERM.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace ludora::site {

// Made before any other thread, so that every thread inherits the blocked
// signals and only the waiting thread takes them: the stop then runs as an
// ordinary call instead of inside a signal handler.
class SignalStop {
public:
    SignalStop();
    ~SignalStop();
    SignalStop(const SignalStop&) = delete;
    SignalStop& operator=(const SignalStop&) = delete;

    // Calls stop once SIGINT or SIGTERM arrives.
    void start(std::function<void()> stop);

    // Ends the waiting thread when the site stopped for another reason.
    void finish();

    // The signal that stopped the site, or 0.
    int received() const { return received_; }

private:
    std::thread waiter_;
    std::atomic<int> received_ = 0;
    std::atomic<bool> finishing_ = false;
};

} // namespace ludora::site
