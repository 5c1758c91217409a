// The layer's one clock. Every time the programs see (timeGetTime, GetTickCount,
// Sleep, time-outs, the multimedia timer, the input script, the headless mixer)
// comes from here, so LUDORA_TIME_SCALE speeds all of them up alike and a test
// can hold the clock and move it by hand.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace ludora {

constexpr uint64_t kForever = UINT64_MAX;

// Layer time in microseconds, counted from the host's uptime when the layer started.
uint64_t clock_us();
inline uint32_t clock_ms() {
    return static_cast<uint32_t>(clock_us() / 1000);
}

// How many layer microseconds pass per real microsecond (LUDORA_TIME_SCALE).
double clock_scale();
bool clock_held();
void clock_hold();
void clock_release();
void clock_advance_us(uint64_t us);

// Sleeps until `us` layer microseconds have passed.
void clock_sleep_us(uint64_t us);

// Real time to wait for `layer_us` of layer time; a short slice while the clock
// is held, so waiters notice a hand advance promptly.
std::chrono::microseconds clock_real_slice(uint64_t layer_us);

// Waits on `cv` until `ready()` holds or the layer clock reaches `deadline_us`
// (kForever: no deadline). Returns ready(). A waiter with a due time must pass
// it as it stands: a relative time-out measured from a later reading of the
// clock would move the due time on by whatever the clock advanced in between.
template <class Ready>
bool clock_wait_until(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                      uint64_t deadline_us, Ready ready) {
    if (deadline_us == kForever) {
        while (!ready())
            cv.wait(lock);
        return true;
    }
    while (!ready()) {
        const uint64_t now = clock_us();
        if (now >= deadline_us) return ready();
        cv.wait_for(lock, clock_real_slice(deadline_us - now));
    }
    return true;
}

// Waits on `cv` until `ready()` holds or `timeout_us` of layer time have passed
// from now (kForever: no time-out). Returns ready().
template <class Ready>
bool clock_wait(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                uint64_t timeout_us, Ready ready) {
    if (timeout_us == kForever) return clock_wait_until(cv, lock, kForever, ready);
    return clock_wait_until(cv, lock, clock_us() + timeout_us, ready);
}

} // namespace ludora
