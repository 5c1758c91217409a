#include "ddraw/pixel_format.h"

#include <bit>

namespace ludora::video {

namespace {

struct Channel {
    int shift;
    int width;
};

Channel channel_of(uint32_t mask) {
    if (mask == 0) return {0, 0};
    return {std::countr_zero(mask), std::popcount(mask)};
}

bool contiguous(uint32_t mask) {
    if (mask == 0) return true;
    const uint32_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

uint32_t expand(uint32_t raw, uint32_t mask) {
    const Channel c = channel_of(mask);
    if (c.width == 0) return 0;
    const uint64_t value = (raw & mask) >> c.shift;
    const uint64_t max = (c.width >= 32) ? 0xFFFFFFFFull : ((1ull << c.width) - 1);
    return static_cast<uint32_t>((value * 255 + max / 2) / max);
}

uint32_t narrow(uint32_t value8, uint32_t mask) {
    const Channel c = channel_of(mask);
    if (c.width == 0) return 0;
    uint32_t value;
    if (c.width <= 8) {
        value = value8 >> (8 - c.width);
    } else {
        const uint64_t max = (c.width >= 32) ? 0xFFFFFFFFull : ((1ull << c.width) - 1);
        value = static_cast<uint32_t>((value8 * max + 127) / 255);
    }
    return (value << c.shift) & mask;
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

uint32_t decode_pixel(const PixelFormat& f, uint32_t raw) {
    return (expand(raw, f.red_mask) << 16) | (expand(raw, f.green_mask) << 8) |
           expand(raw, f.blue_mask);
}

uint32_t encode_pixel(const PixelFormat& f, uint32_t xrgb) {
    return narrow((xrgb >> 16) & 0xFF, f.red_mask) | narrow((xrgb >> 8) & 0xFF, f.green_mask) |
           narrow(xrgb & 0xFF, f.blue_mask);
}

DDPIXELFORMAT to_ddpixelformat(const PixelFormat& f) {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(DDPIXELFORMAT);
    pf.dwRGBBitCount = static_cast<DWORD>(f.bits);
    if (f.indexed) {
        pf.dwFlags = DDPF_RGB | (f.bits == 8   ? DDPF_PALETTEINDEXED8
                                 : f.bits == 4 ? DDPF_PALETTEINDEXED4
                                               : DDPF_PALETTEINDEXED1);
        return pf;
    }
    pf.dwFlags = DDPF_RGB | (f.alpha_mask ? DDPF_ALPHAPIXELS : 0);
    pf.dwRBitMask = f.red_mask;
    pf.dwGBitMask = f.green_mask;
    pf.dwBBitMask = f.blue_mask;
    pf.dwRGBAlphaBitMask = f.alpha_mask;
    return pf;
}

bool from_ddpixelformat(const DDPIXELFORMAT& pf, PixelFormat& out) {
    if (pf.dwFlags & (DDPF_FOURCC | DDPF_YUV | DDPF_ZBUFFER | DDPF_ALPHA)) return false;
    if (pf.dwFlags & DDPF_PALETTEINDEXED8) {
        if (pf.dwRGBBitCount != 8) return false;
        out = format_indexed(8);
        return true;
    }
    if (pf.dwFlags & (DDPF_PALETTEINDEXED4 | DDPF_PALETTEINDEXED1 | DDPF_PALETTEINDEXED2 |
                      DDPF_PALETTEINDEXEDTO8)) {
        return false;
    }
    if (!(pf.dwFlags & DDPF_RGB)) return false;
    const uint32_t alpha = (pf.dwFlags & DDPF_ALPHAPIXELS) ? pf.dwRGBAlphaBitMask : 0;
    return format_from_masks(static_cast<int>(pf.dwRGBBitCount), pf.dwRBitMask, pf.dwGBitMask,
                             pf.dwBBitMask, alpha, out);
}

} // namespace ludora::video
