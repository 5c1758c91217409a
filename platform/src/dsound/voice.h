// One sound source on the mixer: a DirectSound buffer or the MCI player.
#pragma once

#include "windef.h"

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
};

// Sets events and posts messages; call without holding the mixer's lock.
void deliver(const Signals& signals);

} // namespace ludora::audio
