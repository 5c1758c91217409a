// How many uploads one client address may send in a minute: a sliding window
// of the times of its last uploads.
#include "rate_limiter.h"

namespace ludora::site {

namespace {

constexpr auto kWindow = std::chrono::minutes(1);

} // namespace

bool RateLimiter::allow(const std::string& client, Clock::time_point now) {
    if (limit_ <= 0) return true;
    std::lock_guard lock(mutex_);
    forget_quiet_clients(now);
    auto& times = recent_[client];
    while (!times.empty() && now - times.front() >= kWindow)
        times.pop_front();
    if (static_cast<int>(times.size()) >= limit_) return false;
    times.push_back(now);
    return true;
}

// Once a minute, clients with nothing in the window are dropped, so the map
// holds only the addresses of the last minute.
void RateLimiter::forget_quiet_clients(Clock::time_point now) {
    if (now - last_sweep_ < kWindow) return;
    last_sweep_ = now;
    std::erase_if(recent_, [&](const auto& entry) {
        return entry.second.empty() || now - entry.second.back() >= kWindow;
    });
}

} // namespace ludora::site
