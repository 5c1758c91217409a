// The format the mixer produces for the device.
#pragma once

#include <cstdint>

namespace ludora::audio {

struct OutputFormat {
    uint32_t rate = 44100;
    uint16_t channels = 2;
    uint16_t bits = 16;

    uint32_t block_align() const { return channels * bits / 8u; }
    bool operator==(const OutputFormat&) const = default;
};

// Formats the mixer can produce: PCM, 8 or 16 bits, mono or stereo, 8 to 192 kHz.
inline bool sensible_output(uint32_t rate, uint16_t channels, uint16_t bits) {
    return (channels == 1 || channels == 2) && (bits == 8 || bits == 16) && rate >= 8000 &&
           rate <= 192000;
}

} // namespace ludora::audio
