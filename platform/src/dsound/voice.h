// One sound source on the mixer: a DirectSound buffer or the MCI player.
#pragma once

#include "windef.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace ludora::audio {

// Something a voice asks to happen once the mixer has let go of its lock:
// an event to set, or a message to post.
struct Signal {
    HANDLE event = nullptr;
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
};

using Signals = std::vector<Signal>;

class Voice {
public:
    virtual ~Voice() = default;
    // Adds `frames` frames at `output_rate` into `bus` (interleaved stereo).
    // Runs under the mixer's lock. Returns false once the voice has stopped,
    // which takes it off the mixer.
    virtual bool mix(float* bus, uint32_t frames, uint32_t output_rate, Signals& signals) = 0;
    // Output frames at `output_rate` until the voice next queues a signal or
    // stops (kNoSignal: never while it plays as it does). Under the mixer's lock.
    virtual uint64_t frames_until_signal(uint32_t output_rate) const = 0;
};

constexpr uint64_t kNoSignal = UINT64_MAX;

// Output frames a voice at `position` (frames, 32.32) moving `step` a frame
// takes to reach source frame `frame`; at least one.
inline uint64_t frames_to_reach(uint64_t position, uint64_t step, uint64_t frame) {
    const uint64_t target = frame << 32;
    if (target <= position || step == 0) return 1;
    return std::max<uint64_t>(1, (target - position + step - 1) / step);
}

// Sets events and posts messages; call without holding the mixer's lock.
void deliver(const Signals& signals);

} // namespace ludora::audio
