#include "window/release_hold.h"

namespace ludora::window {

void ReleaseHold::pressed(int id, uint64_t frames, uint64_t now_us) {
    presses_[id] = Press{true, frames, now_us};
}

bool ReleaseHold::release_ready(int id, uint64_t frames, uint64_t now_us) const {
    const Press& press = presses_[id];
    if (!press.held) return true;
    const uint64_t since = now_us - press.at_us;
    return (frames > press.frames && since >= kHeldUs) || since >= kLongestUs;
}

void ReleaseHold::released(int id) {
    presses_[id].held = false;
}

void ReleaseHold::clear() {
    for (Press& press : presses_)
        press = Press{};
}

} // namespace ludora::window
