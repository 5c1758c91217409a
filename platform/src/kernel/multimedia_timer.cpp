// The multimedia timer. One timer thread runs every callback. Periodic events
// are due at absolute layer times (start + n * period), so a late callback does
// not push the later ones back: over any stretch the count of callbacks is the
// time passed divided by the period. timeKillEvent returns only once the
// event's callback has finished and cannot run again, except when it is called
// from that callback, which would otherwise wait for itself. While the
// program is at rest the thread wakes only every kRestWakeUs and runs the
// callbacks due by then in a row: each one still runs, in its order.
#include "core/clock.h"
#include "core/rest.h"

#include <mmsystem.h>

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace {

void timer_thread_nudge();

constexpr UINT kPeriodMin = 1;
constexpr UINT kPeriodMax = 1000000;

struct TimerEvent {
    LPTIMECALLBACK callback;
    DWORD_PTR user;
    uint64_t period_us;
    bool periodic;
    uint64_t due_us;
};

class TimerThread {
public:
    UINT add(const TimerEvent& event) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!started_) {
            std::thread(&TimerThread::run, this).detach();
            ludora::when_rest_ends([] { timer_thread_nudge(); });
            started_ = true;
        }
        UINT id = next_id_++;
        if (next_id_ == 0) next_id_ = 1;
        events_[id] = event;
        ++generation_;
        changed_.notify_all();
        return id;
    }

    // Wakes the thread to look at its events again (the rest ended).
    void nudge() {
        std::lock_guard<std::mutex> lock(mutex_);
        ++generation_;
        changed_.notify_all();
    }

    bool kill(UINT id) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (events_.erase(id) == 0) return false;
        ++generation_;
        changed_.notify_all();
        if (std::this_thread::get_id() != timer_thread_) {
            while (running_id_ == id)
                finished_.wait(lock);
        }
        return true;
    }

private:
    void run() {
        std::unique_lock<std::mutex> lock(mutex_);
        timer_thread_ = std::this_thread::get_id();
        for (;;) {
            auto next = events_.end();
            for (auto it = events_.begin(); it != events_.end(); ++it) {
                if (next == events_.end() || it->second.due_us < next->second.due_us) next = it;
            }
            if (next == events_.end()) {
                changed_.wait(lock);
                continue;
            }
            const uint64_t now = ludora::clock_us();
            if (now < next->second.due_us) {
                // Until the due time itself: the clock may be moved on by hand
                // at any moment, and that time must not be counted twice.
                const uint64_t generation = generation_;
                uint64_t wake = next->second.due_us;
                if (ludora::resting()) wake = std::max(wake, batch_start_ + ludora::kRestWakeUs);
                ludora::clock_wait_until(changed_, lock, wake,
                                         [&] { return generation_ != generation; });
                if (generation_ == generation) batch_start_ = ludora::clock_us();
                continue;
            }
            const UINT id = next->first;
            const TimerEvent event = next->second;
            if (event.periodic) {
                next->second.due_us += event.period_us;
            } else {
                events_.erase(next);
            }
            running_id_ = id;
            lock.unlock();
            event.callback(id, 0, event.user, 0, 0);
            lock.lock();
            running_id_ = 0;
            finished_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::condition_variable finished_;
    std::map<UINT, TimerEvent> events_; // guarded by mutex_
    UINT next_id_ = 1;
    UINT running_id_ = 0;
    uint64_t generation_ = 0;
    uint64_t batch_start_ = 0; // when the thread last woke for its events
    bool started_ = false;
    std::thread::id timer_thread_;
};

// Never destroyed: the detached timer thread may still be running at exit.
TimerThread& timer_thread() {
    static TimerThread* instance = new TimerThread;
    return *instance;
}

void timer_thread_nudge() {
    timer_thread().nudge();
}

} // namespace

extern "C" {

MMRESULT WINAPI timeGetDevCaps(LPTIMECAPS ptc, UINT cbtc) {
    if (!ptc) return TIMERR_NOCANDO;
    if (cbtc < sizeof(TIMECAPS)) return TIMERR_STRUCT;
    ptc->wPeriodMin = kPeriodMin;
    ptc->wPeriodMax = kPeriodMax;
    return TIMERR_NOERROR;
}

// The timer keeps every period exactly; there is no system resolution to change.
MMRESULT WINAPI timeBeginPeriod(UINT uPeriod) {
    return uPeriod >= kPeriodMin && uPeriod <= kPeriodMax ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

MMRESULT WINAPI timeEndPeriod(UINT uPeriod) {
    return uPeriod >= kPeriodMin && uPeriod <= kPeriodMax ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

MMRESULT WINAPI timeSetEvent(UINT uDelay, UINT uResolution, LPTIMECALLBACK fptc, DWORD_PTR dwUser,
                             UINT fuEvent) {
    if (!fptc || uDelay < kPeriodMin || uDelay > kPeriodMax) return 0;
    const uint64_t period_us = uint64_t(uDelay) * 1000;
    const TimerEvent event{fptc, dwUser, period_us, (fuEvent & TIME_PERIODIC) != 0,
                           ludora::clock_us() + period_us};
    return timer_thread().add(event);
}

MMRESULT WINAPI timeKillEvent(UINT uTimerID) {
    return timer_thread().kill(uTimerID) ? TIMERR_NOERROR : MMSYSERR_INVALPARAM;
}

DWORD WINAPI timeGetTime(void) {
    return ludora::clock_ms();
}

} // extern "C"
