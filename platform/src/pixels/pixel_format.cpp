#include "pixels/pixel_format.h"

#include <bit>

namespace ludora::pixels {

namespace {

bool contiguous(uint32_t mask) {
    if (mask == 0) return true;
    const uint32_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

} // namespace

PixelFormat format_indexed(int bits) {
    PixelFormat f;
    f.bits = bits;
    f.indexed = true;
    return f;
}

PixelFormat format_rgb555() {
    return {16, false, 0x7C00, 0x03E0, 0x001F, 0};
}
PixelFormat format_rgb565() {
    return {16, false, 0xF800, 0x07E0, 0x001F, 0};
}
PixelFormat format_rgb24() {
    return {24, false, 0xFF0000, 0x00FF00, 0x0000FF, 0};
}
PixelFormat format_xrgb32() {
    return {32, false, 0xFF0000, 0x00FF00, 0x0000FF, 0};
}

bool format_from_masks(int bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha,
                       PixelFormat& out) {
    if (bits != 16 && bits != 24 && bits != 32) return false;
    const uint64_t limit = (1ull << bits) - 1;
    const uint32_t masks[4] = {red, green, blue, alpha};
    uint32_t seen = 0;
    for (uint32_t m : masks) {
        if (m > limit || !contiguous(m) || (seen & m)) return false;
        seen |= m;
    }
    if ((red | green | blue) == 0) return false;
    out = {bits, false, red, green, blue, alpha};
    return true;
}

PixelFormat format_for_depth(int bpp) {
    switch (bpp) {
    case 8:
        return format_indexed(8);
    case 15:
        return format_rgb555();
    case 24:
        return format_rgb24();
    case 32:
        return format_xrgb32();
    default:
        return format_rgb565();
    }
}

PixelCodec::Channel::Channel(uint32_t channel_mask) : mask(channel_mask) {
    if (mask == 0) return;
    shift = std::countr_zero(mask);
    width = std::popcount(mask);
    max = width >= 32 ? 0xFFFFFFFFull : ((1ull << width) - 1);
}

PixelCodec::PixelCodec(const PixelFormat& f)
    : red_(f.red_mask), green_(f.green_mask), blue_(f.blue_mask) {}

uint32_t decode_pixel(const PixelFormat& f, uint32_t raw) {
    return PixelCodec(f).decode(raw);
}

uint32_t encode_pixel(const PixelFormat& f, uint32_t xrgb) {
    return PixelCodec(f).encode(xrgb);
}

} // namespace ludora::pixels
