#include "pixels/canvas.h"

namespace ludora::pixels {

uint32_t read_raw(const Canvas& c, int x, int y) {
    const uint8_t* p = c.row(y);
    switch (c.format.bits) {
    case 1:
        return (p[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (x & 1) ? (p[x >> 1] & 0x0F) : (p[x >> 1] >> 4);
    case 8:
        return p[x];
    case 16:
        p += x * 2;
        return p[0] | (p[1] << 8);
    case 24:
        p += x * 3;
        return p[0] | (p[1] << 8) | (p[2] << 16);
    default:
        p += x * 4;
        return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
}

void write_raw(const Canvas& c, int x, int y, uint32_t v) {
    uint8_t* p = c.row(y);
    switch (c.format.bits) {
    case 1: {
        const int bit = 7 - (x & 7);
        p[x >> 3] = static_cast<uint8_t>((p[x >> 3] & ~(1 << bit)) | ((v & 1) << bit));
        break;
    }
    case 4:
        if (x & 1) {
            p[x >> 1] = static_cast<uint8_t>((p[x >> 1] & 0xF0) | (v & 0x0F));
        } else {
            p[x >> 1] = static_cast<uint8_t>((p[x >> 1] & 0x0F) | ((v & 0x0F) << 4));
        }
        break;
    case 8:
        p[x] = static_cast<uint8_t>(v);
        break;
    case 16:
        p += x * 2;
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        break;
    case 24:
        p += x * 3;
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
        break;
    default:
        p += x * 4;
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
        p[3] = static_cast<uint8_t>(v >> 24);
        break;
    }
}

uint32_t raw_to_xrgb(const Canvas& c, uint32_t raw) {
    if (!c.format.indexed) return decode_pixel(c.format, raw);
    if (!c.palette || static_cast<int>(raw) >= c.palette_size) return 0;
    return c.palette[raw] & 0xFFFFFF;
}

uint32_t read_xrgb(const Canvas& c, int x, int y) {
    return raw_to_xrgb(c, read_raw(c, x, y));
}

uint32_t raw_for_xrgb(const Canvas& c, uint32_t xrgb) {
    if (!c.format.indexed) return encode_pixel(c.format, xrgb);
    if (!c.palette || c.palette_size <= 0) return 0;
    // The first of the nearest entries, so an exact colour maps to its first index.
    int best = 0;
    long best_distance = -1;
    for (int i = 0; i < c.palette_size; ++i) {
        const uint32_t p = c.palette[i];
        const long dr = static_cast<long>((p >> 16) & 0xFF) - ((xrgb >> 16) & 0xFF);
        const long dg = static_cast<long>((p >> 8) & 0xFF) - ((xrgb >> 8) & 0xFF);
        const long db = static_cast<long>(p & 0xFF) - (xrgb & 0xFF);
        const long d = dr * dr + dg * dg + db * db;
        if (best_distance < 0 || d < best_distance) {
            best = i;
            best_distance = d;
            if (d == 0) break;
        }
    }
    return static_cast<uint32_t>(best);
}

} // namespace ludora::pixels
