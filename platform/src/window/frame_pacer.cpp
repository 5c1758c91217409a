#include "window/frame_pacer.h"

#include <thread>

namespace ludora::window {

FramePacer::FramePacer()
    : FramePacer([] { return Clock::now(); },
                 [](Clock::time_point until) { std::this_thread::sleep_until(until); }) {}

FramePacer::FramePacer(std::function<Clock::time_point()> now,
                       std::function<void(Clock::time_point)> sleep_until)
    : now_(std::move(now)), sleep_until_(std::move(sleep_until)) {}

void FramePacer::wait_for_refresh(int hz) {
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::nanoseconds(1'000'000'000LL / (hz > 0 ? hz : 60)));
    const Clock::time_point now = now_();
    if (started_ && now < last_ + period) {
        last_ += period;
        sleep_until_(last_);
        return;
    }
    started_ = true;
    last_ = now;
}

} // namespace ludora::window
