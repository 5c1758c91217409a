// Events and the waits for events and threads. One mutex guards every waitable
// state, so "wait for all" takes its objects at one instant and an auto-reset
// event is taken only by the one waiter it releases. Setting an event wakes
// only the threads waiting for it; a thread's change of state wakes them all.
#include "kernel/sync_objects.h"

#include "core/clock.h"

#include <winbase.h>

#include <thread>
#include <vector>

using namespace ludora::kernel;

namespace {

uint64_t timeout_us(DWORD milliseconds) {
    return milliseconds == INFINITE ? ludora::kForever : uint64_t(milliseconds) * 1000;
}

// A thread in a wait, with what it waits for. Guarded by sync_mutex().
struct Waiting {
    std::condition_variable wake;
    const std::vector<std::shared_ptr<Waitable>>* objects = nullptr;
};

std::vector<Waiting*>& waitings() {
    static auto* all = new std::vector<Waiting*>;
    return *all;
}

// Registers the calling thread's wait for its length (sync_mutex() held throughout).
class WaitingHere {
public:
    explicit WaitingHere(const std::vector<std::shared_ptr<Waitable>>* objects) {
        waiting_.objects = objects;
        waitings().push_back(&waiting_);
    }
    ~WaitingHere() { std::erase(waitings(), &waiting_); }
    std::condition_variable& wake() { return waiting_.wake; }

private:
    Waiting waiting_;
};

void notify_waiters_of(const Waitable* changed) {
    for (Waiting* w : waitings()) {
        for (const auto& object : *w->objects) {
            if (object.get() == changed) {
                w->wake.notify_one();
                break;
            }
        }
    }
}

BOOL change_event(HANDLE handle, bool state) {
    auto event = find_handle_as<Event>(handle);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(sync_mutex());
    event->set(state);
    if (state) notify_waiters_of(event.get());
    return TRUE;
}

} // namespace

namespace ludora::kernel {

void notify_all_waiters() {
    sync_changed().notify_all();
    for (Waiting* w : waitings())
        w->wake.notify_one();
}

} // namespace ludora::kernel

extern "C" {

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState,
                           LPCSTR lpName) {
    // Named events are for sharing between processes; these programs use none.
    if (lpName && *lpName) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    SetLastError(ERROR_SUCCESS);
    return add_handle(std::make_shared<Event>(bManualReset != 0, bInitialState != 0));
}

BOOL WINAPI SetEvent(HANDLE hEvent) {
    return change_event(hEvent, true);
}
BOOL WINAPI ResetEvent(HANDLE hEvent) {
    return change_event(hEvent, false);
}

DWORD WINAPI WaitForMultipleObjects(DWORD nCount, CONST HANDLE* lpHandles, BOOL bWaitAll,
                                    DWORD dwMilliseconds) {
    // Checked first, so a thread that retries a failing wait in a loop can still be ended.
    end_thread_if_requested();
    if (nCount == 0 || nCount > MAXIMUM_WAIT_OBJECTS || !lpHandles) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<Waitable>> objects;
    objects.reserve(nCount);
    for (DWORD i = 0; i < nCount; ++i) {
        auto object = find_handle_as<Waitable>(lpHandles[i]);
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        if (bWaitAll) {
            for (const auto& earlier : objects) {
                if (earlier == object) {
                    SetLastError(ERROR_INVALID_PARAMETER);
                    return WAIT_FAILED;
                }
            }
        }
        objects.push_back(std::move(object));
    }

    DWORD result = WAIT_TIMEOUT;
    {
        std::unique_lock<std::mutex> lock(sync_mutex());
        auto ready = [&] {
            if (termination_requested()) return true;
            if (bWaitAll) {
                for (const auto& object : objects) {
                    if (!object->signalled()) return false;
                }
                for (const auto& object : objects)
                    object->take();
                result = WAIT_OBJECT_0;
                return true;
            }
            // The lowest signalled index wins, and only that object is taken.
            for (DWORD i = 0; i < nCount; ++i) {
                if (objects[i]->signalled()) {
                    objects[i]->take();
                    result = WAIT_OBJECT_0 + i;
                    return true;
                }
            }
            return false;
        };
        WaitingHere here(&objects);
        ludora::clock_wait(here.wake(), lock, timeout_us(dwMilliseconds), ready);
    }
    end_thread_if_requested();
    return result;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    return WaitForMultipleObjects(1, &hHandle, FALSE, dwMilliseconds);
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    end_thread_if_requested();
    if (dwMilliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    {
        std::unique_lock<std::mutex> lock(sync_mutex());
        static const std::vector<std::shared_ptr<Waitable>> nothing;
        WaitingHere here(&nothing);
        ludora::clock_wait(here.wake(), lock, timeout_us(dwMilliseconds),
                           [] { return termination_requested(); });
    }
    end_thread_if_requested();
}

} // extern "C"
