#include "test_threads.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

namespace soundtest {

bool Eventually(const std::function<bool()>& done) {
    auto limit = std::chrono::steady_clock::now() + kWaitLimit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

Watchdog::Watchdog(std::chrono::seconds limit) {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "?";
    thread_ = std::thread([this, limit, name] {
        std::unique_lock<std::mutex> lock(mutex_);
        if (done_.wait_for(lock, limit, [this] { return finished_; })) return;
        fprintf(stderr, "%s: still running after %d s, ended by its watchdog\n", name.c_str(),
                (int)limit.count());
        fflush(stderr);
        std::abort();
    });
}

Watchdog::~Watchdog() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
    }
    done_.notify_all();
    thread_.join();
}

Helper::~Helper() {
    if (!Join()) {
        fprintf(stderr, "a helper thread of the test did not finish\n");
        std::abort();
    }
    thread_.join();
}

bool Helper::Join(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    return done_.wait_for(lock, limit, [this] { return finished_; });
}

bool Helper::Finished() {
    std::lock_guard<std::mutex> lock(mutex_);
    return finished_;
}

} // namespace soundtest
