#include "core/clock.h"

#include "core/settings.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <time.h>

namespace ludora {
namespace {

using steady = std::chrono::steady_clock;

// Windows counts its milliseconds from the machine's start, not the program's:
// the layer's clock starts at the host's uptime, and never below ten seconds, so
// a program's first measurements see a clock well past zero, as they would there.
uint64_t start_us() {
    constexpr uint64_t least_us = 10'000'000;
    timespec uptime{};
    if (::clock_gettime(CLOCK_BOOTTIME, &uptime) != 0) return least_us;
    const uint64_t us = uint64_t(uptime.tv_sec) * 1'000'000 + uint64_t(uptime.tv_nsec) / 1000;
    return std::max(us, least_us);
}

struct ClockState {
    std::mutex mutex;
    std::condition_variable advanced;
    steady::time_point base_real = steady::now();
    uint64_t base_us = start_us();
    bool held = false;
    double scale = settings::time_scale();
};

ClockState& state() {
    static ClockState s;
    return s;
}

uint64_t now_locked(ClockState& s) {
    if (s.held) return s.base_us;
    const auto real =
        std::chrono::duration_cast<std::chrono::microseconds>(steady::now() - s.base_real);
    return s.base_us + static_cast<uint64_t>(static_cast<double>(real.count()) * s.scale);
}

} // namespace

uint64_t clock_us() {
    ClockState& s = state();
    std::lock_guard lock(s.mutex);
    return now_locked(s);
}

double clock_scale() {
    return state().scale;
}

bool clock_held() {
    ClockState& s = state();
    std::lock_guard lock(s.mutex);
    return s.held;
}

void clock_hold() {
    ClockState& s = state();
    std::lock_guard lock(s.mutex);
    if (s.held) return;
    s.base_us = now_locked(s);
    s.held = true;
}

void clock_release() {
    ClockState& s = state();
    {
        std::lock_guard lock(s.mutex);
        if (!s.held) return;
        s.base_real = steady::now();
        s.held = false;
    }
    s.advanced.notify_all();
}

void clock_advance_us(uint64_t us) {
    ClockState& s = state();
    {
        std::lock_guard lock(s.mutex);
        if (s.held) {
            s.base_us += us;
        } else {
            s.base_us += us; // an unheld clock jumps forward as well
        }
    }
    s.advanced.notify_all();
}

std::chrono::microseconds clock_real_slice(uint64_t layer_us) {
    if (clock_held()) return std::chrono::microseconds(500);
    const double real = static_cast<double>(layer_us) / clock_scale();
    return std::chrono::microseconds(std::max<int64_t>(1, static_cast<int64_t>(real)));
}

void clock_sleep_us(uint64_t us) {
    ClockState& s = state();
    std::unique_lock lock(s.mutex);
    const uint64_t deadline = now_locked(s) + us;
    while (true) {
        const uint64_t now = now_locked(s);
        if (now >= deadline) return;
        if (s.held) {
            s.advanced.wait_for(lock, std::chrono::milliseconds(1));
        } else {
            const double real = static_cast<double>(deadline - now) / s.scale;
            lock.unlock();
            std::this_thread::sleep_for(
                std::chrono::microseconds(std::max<int64_t>(1, static_cast<int64_t>(real))));
            lock.lock();
        }
    }
}

} // namespace ludora
