// Unstretched copies that change format onto 16-bit canvases: what loading a
// 24-bit, 32-bit or palettised picture into a 5-6-5 or 5-5-5 surface does.
// Each gives the reference's pixels: 8-bit channels truncated to the target's
// width, palette indices through the palette (black past its end).
#include "pixels/blitter.h"

#include <array>
#include <cstring>

namespace ludora::pixels {

bool canvases_overlap(const Canvas& a, const Canvas& b);

namespace {

template <bool Rgb565> inline uint16_t pack16(uint32_t xrgb) {
    const uint32_t r = (xrgb >> 16) & 0xFF, g = (xrgb >> 8) & 0xFF, b = xrgb & 0xFF;
    if constexpr (Rgb565) {
        return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    } else {
        return static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
    }
}

// Sources: how many bytes a pixel takes, its raw value (as keys see it) and its
// 16-bit result.
template <bool Rgb565> struct FromRgb24 {
    static constexpr int bytes = 3;
    static uint32_t raw(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16); }
    uint16_t convert(uint32_t raw) const { return pack16<Rgb565>(raw); }
    // Four pixels are three whole words: read them so, not byte by byte.
    void convert_run(const uint8_t* sp, uint8_t* dp, int w) const {
        int i = 0;
        for (; i + 4 <= w; i += 4) {
            uint32_t word[3];
            std::memcpy(word, sp + 3 * i, 12);
            const uint64_t out = uint64_t(pack16<Rgb565>(word[0])) |
                                 uint64_t(pack16<Rgb565>((word[0] >> 24) | (word[1] << 8))) << 16 |
                                 uint64_t(pack16<Rgb565>((word[1] >> 16) | (word[2] << 16))) << 32 |
                                 uint64_t(pack16<Rgb565>(word[2] >> 8)) << 48;
            std::memcpy(dp + 2 * i, &out, 8);
        }
        for (; i < w; ++i) {
            const uint16_t v = convert(raw(sp + 3 * i));
            std::memcpy(dp + 2 * i, &v, 2);
        }
    }
};

template <bool Rgb565> struct FromXrgb32 {
    static constexpr int bytes = 4;
    static uint32_t raw(const uint8_t* p) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    uint16_t convert(uint32_t raw) const { return pack16<Rgb565>(raw); }
};

struct FromIndexed8 {
    static constexpr int bytes = 1;
    const std::array<uint16_t, 256>& colours;
    static uint32_t raw(const uint8_t* p) { return *p; }
    uint16_t convert(uint32_t raw) const { return colours[raw]; }
};

struct Span {
    int sx, sy; // first source pixel
    int dx, dy; // first destination pixel
    int w, h;
};

template <class Source> void convert_rows(const BlitRequest& r, const Span& a, const Source& from) {
    const Canvas& s = *r.source;
    const Canvas& d = *r.dest;
    const ColorKeyRange sk = r.source_key, dk = r.dest_key;
    for (int y = 0; y < a.h; ++y) {
        const uint8_t* sp = s.row(a.sy + y) + static_cast<ptrdiff_t>(a.sx) * Source::bytes;
        uint8_t* dp = d.row(a.dy + y) + static_cast<ptrdiff_t>(a.dx) * 2;
        if (!sk.enabled && !dk.enabled) {
            if constexpr (requires { from.convert_run(sp, dp, a.w); }) {
                from.convert_run(sp, dp, a.w);
            } else {
                for (int i = 0; i < a.w; ++i) {
                    const uint16_t v = from.convert(Source::raw(sp + Source::bytes * i));
                    std::memcpy(dp + 2 * i, &v, 2);
                }
            }
            continue;
        }
        for (int i = 0; i < a.w; ++i) {
            const uint32_t raw = Source::raw(sp + Source::bytes * i);
            if (sk.enabled && sk.matches(raw)) continue;
            if (dk.enabled) {
                uint16_t old;
                std::memcpy(&old, dp + 2 * i, 2);
                if (!dk.matches(old)) continue;
            }
            const uint16_t v = from.convert(raw);
            std::memcpy(dp + 2 * i, &v, 2);
        }
    }
}

template <bool Rgb565> bool convert_from(const BlitRequest& r, const Span& a) {
    const PixelFormat& f = r.source->format;
    if (f == format_rgb24()) {
        convert_rows(r, a, FromRgb24<Rgb565>{});
    } else if (f == format_xrgb32()) {
        convert_rows(r, a, FromXrgb32<Rgb565>{});
    } else if (f == format_indexed(8)) {
        // Each index's colour once, worked out exactly as the reference does.
        std::array<uint16_t, 256> colours;
        for (uint32_t i = 0; i < colours.size(); ++i)
            colours[i] = static_cast<uint16_t>(raw_for_xrgb(*r.dest, raw_to_xrgb(*r.source, i)));
        convert_rows(r, a, FromIndexed8{colours});
    } else {
        return false;
    }
    return true;
}

bool convertible_source(const PixelFormat& f) {
    return f == format_rgb24() || f == format_xrgb32() || f == format_indexed(8);
}

} // namespace

bool blit_fast_convert(const BlitRequest& r) {
    if (!r.source) return false;
    const Canvas& s = *r.source;
    const Canvas& d = *r.dest;
    const bool to565 = d.format == format_rgb565();
    if (!to565 && d.format != format_rgb555()) return false;
    if (!convertible_source(s.format)) return false;
    if (r.source_rect.right - r.source_rect.left != r.dest_rect.right - r.dest_rect.left ||
        r.source_rect.bottom - r.source_rect.top != r.dest_rect.bottom - r.dest_rect.top) {
        return false;
    }
    if (canvases_overlap(s, d)) return false;
    const RECT area = rect_intersect(rect_intersect(r.dest_rect, r.clip), canvas_rect(d));
    if (rect_empty(area)) return true;
    const Span span{r.source_rect.left + (area.left - r.dest_rect.left),
                    r.source_rect.top + (area.top - r.dest_rect.top),
                    area.left,
                    area.top,
                    area.right - area.left,
                    area.bottom - area.top};
    return to565 ? convert_from<true>(r, span) : convert_from<false>(r, span);
}

} // namespace ludora::pixels
