// A rectangle of pixels in memory: a surface, a bitmap or a DIB section.
#pragma once

#include "pixels/pixel_format.h"

#include <cstddef>
#include <cstdint>

namespace ludora::pixels {

struct Canvas {
    uint8_t* top = nullptr; // first byte of the top row
    ptrdiff_t pitch = 0;    // bytes from one row to the next below (negative: bottom-up)
    int width = 0;
    int height = 0;
    PixelFormat format;
    const uint32_t* palette = nullptr; // 0x00RRGGBB entries of an indexed canvas, or null
    int palette_size = 0;

    bool valid() const { return top != nullptr && width > 0 && height > 0; }
    uint8_t* row(int y) const { return top + pitch * y; }
};

uint32_t read_raw(const Canvas& c, int x, int y);
void write_raw(const Canvas& c, int x, int y, uint32_t raw);
// The pixel as 0x00RRGGBB (indices through the palette; black without one).
uint32_t read_xrgb(const Canvas& c, int x, int y);
// The raw value that shows `xrgb` best on the canvas (nearest palette entry when indexed).
uint32_t raw_for_xrgb(const Canvas& c, uint32_t xrgb);
uint32_t raw_to_xrgb(const Canvas& c, uint32_t raw);

// Only the bits a pixel of this depth holds.
inline uint32_t depth_mask(int bits) {
    return bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1);
}

} // namespace ludora::pixels
