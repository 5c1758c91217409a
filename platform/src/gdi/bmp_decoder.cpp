#include "gdi/bmp_decoder.h"

#include <algorithm>
#include <cstring>

namespace ludora::gdi {

namespace {

constexpr int kMaxSide = 32768;
constexpr int64_t kMaxPixels = 64ll * 1024 * 1024;

uint16_t u16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t u32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Pixel indices of an RLE picture, bottom row first; skipped pixels stay 0.
bool decode_rle(const uint8_t* p, size_t n, bool four_bit, int width, int height,
                std::vector<uint8_t>& indices) {
    indices.assign(static_cast<size_t>(width) * height, 0);
    int64_t x = 0, y = 0;
    size_t i = 0;
    auto put = [&](uint8_t v) {
        if (x >= 0 && x < width && y >= 0 && y < height) {
            indices[static_cast<size_t>(y) * width + static_cast<size_t>(x)] = v;
        }
        ++x;
    };
    while (y < height) {
        if (i + 2 > n) return false; // the data ends before the end-of-bitmap mark
        const uint8_t count = p[i], value = p[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k) {
                put(four_bit ? ((k & 1) ? (value & 0x0F) : (value >> 4)) : value);
            }
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return true;
        } else if (value == 2) { // delta
            if (i + 2 > n) return false;
            x += p[i];
            y += p[i + 1];
            i += 2;
        } else { // absolute run of `value` pixels, padded to a 16-bit boundary
            const size_t bytes = four_bit ? (value + 1u) / 2u : value;
            if (i + bytes > n) return false;
            for (int k = 0; k < value; ++k) {
                const uint8_t b = p[i + (four_bit ? k / 2 : k)];
                put(four_bit ? ((k & 1) ? (b & 0x0F) : (b >> 4)) : b);
            }
            i += bytes + (bytes & 1);
        }
    }
    return true;
}

} // namespace

bool decode_bmp(const uint8_t* data, size_t size, DecodedBmp& out) {
    if (!data || size < 14 + 12 || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t off_bits = u32(data + 10);
    const uint8_t* h = data + 14;
    const uint32_t header_size = u32(h);
    const bool core = header_size == 12;
    if (!core && header_size != 40 && header_size != 52 && header_size != 56 &&
        header_size != 108 && header_size != 124) {
        return false;
    }
    if (14 + static_cast<size_t>(header_size) > size) return false;

    int64_t width, height;
    int planes, bits;
    uint32_t compression = BI_RGB, colours_used = 0;
    if (core) {
        width = u16(h + 4);
        height = u16(h + 6);
        planes = u16(h + 8);
        bits = u16(h + 10);
    } else {
        width = static_cast<int32_t>(u32(h + 4));
        height = static_cast<int32_t>(u32(h + 8));
        planes = u16(h + 12);
        bits = u16(h + 14);
        compression = u32(h + 16);
        colours_used = u32(h + 32);
    }
    const bool top_down = height < 0;
    if (top_down) height = -height;
    if (planes != 1 || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        width * height > kMaxPixels) {
        return false;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return false;
    }
    const bool rle8 = compression == BI_RLE8, rle4 = compression == BI_RLE4;
    const bool bitfields = compression == BI_BITFIELDS;
    if (compression != BI_RGB && !rle8 && !rle4 && !bitfields) return false;
    if ((rle8 && bits != 8) || (rle4 && bits != 4)) return false;
    if ((rle8 || rle4) && top_down) return false; // compressed pictures are bottom-up only
    if (bitfields && bits != 16 && bits != 32) return false;

    // Colour masks.
    size_t table_at = 14 + header_size;
    uint32_t masks[3] = {0, 0, 0};
    if (bitfields) {
        const uint8_t* m = h + 40;
        if (header_size == 40) {
            if (table_at + 12 > size) return false;
            m = data + table_at;
            table_at += 12;
        }
        masks[0] = u32(m);
        masks[1] = u32(m + 4);
        masks[2] = u32(m + 8);
    }
    pixels::PixelFormat format;
    if (bits <= 8) {
        format = pixels::format_indexed(bits);
    } else if (bitfields) {
        if (!pixels::format_from_masks(bits, masks[0], masks[1], masks[2], 0, format)) return false;
    } else {
        format = bits == 16   ? pixels::format_rgb555()
                 : bits == 24 ? pixels::format_rgb24()
                              : pixels::format_xrgb32();
    }

    // Colour table: biClrUsed entries (the full table when 0). Entries past the
    // depth's range are never addressed and are skipped.
    const size_t entry = core ? 3 : 4;
    size_t table_entries = 0;
    if (bits <= 8) {
        const size_t full = size_t(1) << bits;
        table_entries = core ? full : (colours_used ? colours_used : full);
        if (colours_used > 65536) return false;
        if (core && off_bits > table_at) {
            table_entries = std::min(full, (off_bits - table_at) / entry);
        }
    }
    if (table_at + table_entries * entry > size) return false;
    out.colour_table.assign(bits <= 8 ? (size_t(1) << bits) : 0, RGBQUAD{0, 0, 0, 0});
    for (size_t i = 0; i < std::min(table_entries, out.colour_table.size()); ++i) {
        const uint8_t* c = data + table_at + i * entry;
        out.colour_table[i] = RGBQUAD{c[0], c[1], c[2], 0};
    }
    const size_t pixels_at = off_bits ? off_bits : table_at + table_entries * entry;
    if (pixels_at >= size) return false;

    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.format = format;
    out.compression = compression;
    out.stride = static_cast<int>(((width * bits + 31) / 32) * 4);
    const size_t image = static_cast<size_t>(out.stride) * out.height;
    const uint8_t* pixels = data + pixels_at;
    const size_t available = size - pixels_at;

    if (rle8 || rle4) {
        std::vector<uint8_t> indices;
        if (!decode_rle(pixels, available, rle4, out.width, out.height, indices)) return false;
        out.bits.assign(image, 0);
        for (int y = 0; y < out.height; ++y) {
            uint8_t* row = out.bits.data() + static_cast<size_t>(y) * out.stride;
            const uint8_t* src = indices.data() + static_cast<size_t>(y) * out.width;
            for (int x = 0; x < out.width; ++x) {
                if (rle8) {
                    row[x] = src[x];
                } else {
                    row[x / 2] |= static_cast<uint8_t>((x & 1) ? (src[x] & 0x0F) : (src[x] << 4));
                }
            }
        }
        return true;
    }

    if (available < image) return false; // cut short
    if (!top_down) {
        out.bits.assign(pixels, pixels + image); // already in a DIB's order
        return true;
    }
    out.bits.resize(image);
    for (int y = 0; y < out.height; ++y) {
        std::memcpy(out.bits.data() + static_cast<size_t>(out.height - 1 - y) * out.stride,
                    pixels + static_cast<size_t>(y) * out.stride, out.stride);
    }
    return true;
}

} // namespace ludora::gdi
