// Objects a thread can wait for. Their states are guarded by one mutex, so a
// wait for several objects sees and takes them all at one instant.
#pragma once

#include "kernel/handle_table.h"

#include <windef.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace ludora::kernel {

std::mutex& sync_mutex();
// Notified on every change of a thread's state (suspended threads wait on it).
std::condition_variable& sync_changed();
// With sync_mutex() held: a thread's state changed; wakes every waiting thread.
void notify_all_waiters();

class Waitable : public KernelObject {
public:
    // Both called with sync_mutex() held.
    virtual bool signalled() const = 0;
    // A waiter released by this object takes it (an auto-reset event resets).
    virtual void take() {}
};

class Event final : public Waitable {
public:
    Event(bool manual_reset, bool initial_state)
        : manual_reset_(manual_reset), state_(initial_state) {}
    bool signalled() const override { return state_; }
    void take() override {
        if (!manual_reset_) state_ = false;
    }
    void set(bool state) { state_ = state; }

private:
    const bool manual_reset_;
    bool state_; // guarded by sync_mutex()
};

class Thread final : public Waitable {
public:
    bool signalled() const override { return finished; }

    // Guarded by sync_mutex().
    bool finished = false;
    bool suspended = false;
    bool terminate_requested = false;
    DWORD exit_code = STILL_ACTIVE_CODE;

    std::atomic<DWORD> id{0};
    std::atomic<int> priority{0};

    static constexpr DWORD STILL_ACTIVE_CODE = 259;
};

// True when another thread has asked the calling thread to end (sync_mutex() held).
bool termination_requested();
// Ends the calling thread when termination was requested; called without the lock.
void end_thread_if_requested();

} // namespace ludora::kernel
