// Bringing the library's threads together at chosen points. The tests' own
// build of ZQSound calls a hook at each point of test_hooks.h; a thread that
// reaches a point the test holds waits there until the test lets it go.
#pragma once

#include <chrono>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <thread>
#include <vector>

#include <windows.h>

#include "test_hooks.h"
#include "test_threads.h"

namespace soundtest {

using zqsound::HookPoint;

// Which threads a hold or a question is about: any, one, or all but one.
struct Who {
    DWORD only = 0;
    DWORD except = 0;
    bool Matches(DWORD thread) const {
        return (only == 0 || thread == only) && (except == 0 || thread != except);
    }
};
inline Who AnyThread() {
    return Who{};
}
inline Who Thread(DWORD id) {
    return Who{id, 0};
}
inline Who NotThread(DWORD id) {
    return Who{0, id};
}

class Interleaving {
public:
    Interleaving();
    ~Interleaving();
    Interleaving(const Interleaving&) = delete;
    Interleaving& operator=(const Interleaving&) = delete;

    // The next thread matching `who` to reach `point` waits there until
    // Release(point). Only the first arrival is held.
    void Hold(HookPoint point, Who who = AnyThread());
    // Lets the thread held at `point` go on (or cancels a hold not yet met).
    void Release(HookPoint point);
    // A place in the record of arrivals, to ask about arrivals after it.
    size_t Mark();
    // Waits, a bounded time, until a thread matching `who` has reached
    // `point` (held there or passed it) after `since`.
    bool Reached(HookPoint point, Who who = AnyThread(), size_t since = 0);
    // The same for several points: the index of the first one reached, or -1.
    int ReachedAny(std::initializer_list<HookPoint> points, Who who = AnyThread(),
                   size_t since = 0);
    // Whether a thread matching `who` has reached `point`, without waiting.
    bool HasReached(HookPoint point, Who who = AnyThread(), size_t since = 0);
    // The thread held at or first to reach `point`, 0 when none.
    DWORD ThreadAt(HookPoint point);

    // How long a question waits, and how long a held thread waits at most
    // before going on by itself (so a broken test fails instead of hanging).
    static constexpr std::chrono::seconds kLimit = kWaitLimit;

private:
    struct HoldEntry {
        HookPoint point;
        Who who;
        bool met = false;
        bool released = false;
    };
    struct Arrival {
        HookPoint point;
        DWORD thread;
    };

    static void Hook(HookPoint point);
    void Arrive(HookPoint point);
    bool FoundLocked(HookPoint point, Who who, size_t since) const;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<HoldEntry> holds_;
    std::vector<Arrival> arrivals_;
};

} // namespace soundtest
