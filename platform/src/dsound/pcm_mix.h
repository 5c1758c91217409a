// Resampling and mixing of one PCM source into the mixer's stereo float bus.
#pragma once

#include "dsound/gain.h"

#include <cstddef>
#include <cstdint>

namespace ludora::audio {

// A PCM source: 8-bit unsigned or 16-bit signed little-endian, mono or stereo.
struct PcmView {
    const uint8_t* data = nullptr;
    uint32_t frames = 0;
    uint16_t channels = 1;
    uint16_t bits = 16;
};

// Positions and steps are frames in 32.32 fixed point.
constexpr uint64_t kFrameOne = uint64_t{1} << 32;

// Source frames per output frame, in 32.32 fixed point.
inline uint64_t resample_step(uint32_t source_rate, uint32_t output_rate) {
    if (output_rate == 0) return kFrameOne;
    return (static_cast<uint64_t>(source_rate) << 32) / output_rate;
}

// Adds up to `frames` output frames of `source` into `bus` (interleaved stereo),
// starting at `position` and moving it by `step` per output frame, with linear
// interpolation. A looping source wraps; a one-shot source ends at its last
// frame. Returns how many output frames were produced.
uint32_t mix_pcm(const PcmView& source, uint64_t& position, uint64_t step, bool looping,
                 StereoGain gain, float* bus, uint32_t frames);

} // namespace ludora::audio
