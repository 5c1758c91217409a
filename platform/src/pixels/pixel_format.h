// Pixel formats of surfaces and bitmaps, and conversion to and from 0x00RRGGBB.
#pragma once

#include <windef.h>

#include <cstdint>

namespace ludora::pixels {

struct PixelFormat {
    int bits = 16;        // 1, 4, 8, 16, 24 or 32
    bool indexed = false; // palette indices (1, 4 and 8 bits)
    uint32_t red_mask = 0, green_mask = 0, blue_mask = 0, alpha_mask = 0;

    int bytes_per_pixel() const { return bits >= 8 ? bits / 8 : 0; }
    bool operator==(const PixelFormat&) const = default;
};

PixelFormat format_indexed(int bits);
PixelFormat format_rgb555();
PixelFormat format_rgb565();
PixelFormat format_rgb24();
PixelFormat format_xrgb32();
// A direct-colour format from its masks; false when the masks do not fit the depth
// or overlap.
bool format_from_masks(int bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha,
                       PixelFormat& out);

// The display format for a desktop depth: 15 is 5-5-5 and 16 is 5-6-5.
PixelFormat format_for_depth(int bpp);

// Raw pixel value to 0x00RRGGBB for direct-colour formats; each channel is
// scaled to the full 0..255 range (a 5-bit 31 becomes 255).
uint32_t decode_pixel(const PixelFormat& format, uint32_t raw);
// 0x00RRGGBB to a raw pixel value; channels are truncated to their width, as GDI does.
uint32_t encode_pixel(const PixelFormat& format, uint32_t xrgb);

// decode_pixel and encode_pixel for one format, with the channels' positions and
// widths worked out once rather than for every pixel.
class PixelCodec {
public:
    explicit PixelCodec(const PixelFormat& format);
    uint32_t decode(uint32_t raw) const {
        return (red_.expand(raw) << 16) | (green_.expand(raw) << 8) | blue_.expand(raw);
    }
    uint32_t encode(uint32_t xrgb) const {
        return red_.narrow((xrgb >> 16) & 0xFF) | green_.narrow((xrgb >> 8) & 0xFF) |
               blue_.narrow(xrgb & 0xFF);
    }

private:
    struct Channel {
        uint32_t mask = 0;
        int shift = 0;
        int width = 0;
        uint64_t max = 0; // the largest value the channel holds

        explicit Channel(uint32_t channel_mask);
        uint32_t expand(uint32_t raw) const {
            if (width == 0) return 0;
            const uint64_t value = (raw & mask) >> shift;
            return static_cast<uint32_t>((value * 255 + max / 2) / max);
        }
        uint32_t narrow(uint32_t value8) const {
            if (width == 0) return 0;
            const uint32_t value = width <= 8 ? value8 >> (8 - width)
                                              : static_cast<uint32_t>((value8 * max + 127) / 255);
            return (value << shift) & mask;
        }
    };
    Channel red_, green_, blue_;
};

inline uint32_t colorref_to_xrgb(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline COLORREF xrgb_to_colorref(uint32_t x) {
    return ((x >> 16) & 0xFF) | (x & 0xFF00) | ((x & 0xFF) << 16);
}

} // namespace ludora::pixels
