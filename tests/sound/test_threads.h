// Threads in the sound tests: a watchdog that ends a hung test, helper
// threads joined with a time limit, and bounded waits.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include <windows.h>

namespace soundtest {

// How long a test waits for a thread before it counts as hung.
inline constexpr std::chrono::seconds kWaitLimit{10};

// Ends the test program with a message when a test has not finished in time:
// a hang fails instead of blocking the run.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

// Waits, a bounded time, until `done` holds.
bool Eventually(const std::function<bool()>& done);

// Runs `work` on a thread of its own; Join waits for it, a bounded time.
class Helper {
public:
    template <class F> explicit Helper(F work) {
        thread_ = std::thread([this, work] {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                id_ = GetCurrentThreadId();
            }
            started_.notify_all();
            work();
            std::lock_guard<std::mutex> lock(mutex_);
            finished_ = true;
            done_.notify_all();
        });
        std::unique_lock<std::mutex> lock(mutex_);
        started_.wait(lock, [this] { return id_.load() != 0; });
    }
    ~Helper();
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;

    DWORD Id() const { return id_; }
    // Whether the work has finished, waiting at most `limit`.
    bool Join(std::chrono::milliseconds limit = kWaitLimit);
    bool Finished();

private:
    std::mutex mutex_;
    std::condition_variable started_;
    std::condition_variable done_;
    std::atomic<DWORD> id_{0};
    bool finished_ = false;
    std::thread thread_;
};

} // namespace soundtest
