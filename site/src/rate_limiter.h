// How many uploads one client address may send in a minute.
#pragma once

#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace ludora::site {

class RateLimiter {
public:
    using Clock = std::chrono::steady_clock;

    // 0 uploads a minute lifts the limit.
    explicit RateLimiter(int uploads_per_minute) : limit_(uploads_per_minute) {}

    // Counts one upload from client unless it already sent its share in the
    // minute before now; false then.
    bool allow(const std::string& client, Clock::time_point now);

    int limit() const { return limit_; }

private:
    void forget_quiet_clients(Clock::time_point now);

    const int limit_;
    std::mutex mutex_;
    std::unordered_map<std::string, std::deque<Clock::time_point>> recent_;
    Clock::time_point last_sweep_{};
};

} // namespace ludora::site
