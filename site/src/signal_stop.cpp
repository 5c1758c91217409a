// Stops the site cleanly on SIGINT and SIGTERM.
#include "signal_stop.h"

#include <csignal>
#include <pthread.h>

namespace ludora::site {

namespace {

sigset_t stop_signals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

SignalStop::SignalStop() {
    const sigset_t set = stop_signals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    // A client that hangs up mid-answer must not end the process.
    std::signal(SIGPIPE, SIG_IGN);
}

SignalStop::~SignalStop() {
    finish();
}

void SignalStop::start(std::function<void()> stop) {
    waiter_ = std::thread([this, stop = std::move(stop)] {
        const sigset_t set = stop_signals();
        int signal = 0;
        if (sigwait(&set, &signal) != 0) return;
        if (!finishing_) received_ = signal;
        stop();
    });
}

void SignalStop::finish() {
    if (!waiter_.joinable()) return;
    finishing_ = true;
    pthread_kill(waiter_.native_handle(), SIGTERM);
    waiter_.join();
}

} // namespace ludora::site
