#include "pixels/blitter.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ludora::pixels {

bool canvases_overlap(const Canvas& a, const Canvas& b);
bool canvases_share_colours(const Canvas& a, const Canvas& b);

namespace {

bool unstretched(const BlitRequest& r) {
    return r.source_rect.right - r.source_rect.left == r.dest_rect.right - r.dest_rect.left &&
           r.source_rect.bottom - r.source_rect.top == r.dest_rect.bottom - r.dest_rect.top;
}

RECT clipped_area(const BlitRequest& r) {
    return rect_intersect(rect_intersect(r.dest_rect, r.clip), canvas_rect(*r.dest));
}

} // namespace

bool blit_fast_fill(const BlitRequest& r) {
    const Canvas& d = *r.dest;
    if (r.source || r.dest_key.enabled) return false;
    const int bits = d.format.bits;
    if (bits != 8 && bits != 16 && bits != 32) return false;
    const RECT a = clipped_area(r);
    if (rect_empty(a)) return true;
    const int w = a.right - a.left;
    const uint32_t fill = r.fill & depth_mask(bits);
    const int bytes = bits / 8;
    // One row of the pattern, then copies of it: rows need not be aligned.
    uint8_t* first = d.row(a.top) + static_cast<ptrdiff_t>(a.left) * bytes;
    if (bytes == 1) {
        std::memset(first, static_cast<int>(fill), static_cast<size_t>(w));
    } else if (bytes == 2) {
        const uint16_t v = static_cast<uint16_t>(fill);
        for (int i = 0; i < w; ++i)
            std::memcpy(first + 2 * static_cast<ptrdiff_t>(i), &v, 2);
    } else {
        for (int i = 0; i < w; ++i)
            std::memcpy(first + 4 * static_cast<ptrdiff_t>(i), &fill, 4);
    }
    for (int y = a.top + 1; y < a.bottom; ++y) {
        std::memcpy(d.row(y) + static_cast<ptrdiff_t>(a.left) * bytes, first,
                    static_cast<size_t>(w) * bytes);
    }
    return true;
}

bool blit_fast_copy(const BlitRequest& r) {
    if (!r.source || r.source_key.enabled || r.dest_key.enabled || !unstretched(r)) return false;
    const Canvas& s = *r.source;
    const Canvas& d = *r.dest;
    if (s.format.bits < 8 || !canvases_share_colours(s, d)) return false;
    const RECT a = clipped_area(r);
    if (rect_empty(a)) return true;
    const int bpp = s.format.bytes_per_pixel();
    const int sx = r.source_rect.left + (a.left - r.dest_rect.left);
    const int sy = r.source_rect.top + (a.top - r.dest_rect.top);
    const size_t bytes = static_cast<size_t>(a.right - a.left) * bpp;
    const int rows = a.bottom - a.top;
    if (s.pitch == static_cast<ptrdiff_t>(bytes) && d.pitch == s.pitch) {
        // Whole rows of both, one block each: a single move.
        std::memmove(d.row(a.top) + static_cast<ptrdiff_t>(a.left) * bpp,
                     s.row(sy) + static_cast<ptrdiff_t>(sx) * bpp, bytes * rows);
        return true;
    }
    // When the destination lies above in memory, write its highest rows first (the
    // last rows top-down, the first rows of a bottom-up canvas), as memmove would.
    const bool higher = d.row(a.top) > s.row(sy);
    const bool backwards = canvases_overlap(s, d) && higher == (d.pitch > 0);
    for (int i = 0; i < rows; ++i) {
        const int k = backwards ? rows - 1 - i : i;
        std::memmove(d.row(a.top + k) + static_cast<ptrdiff_t>(a.left) * bpp,
                     s.row(sy + k) + static_cast<ptrdiff_t>(sx) * bpp, bytes);
    }
    return true;
}

bool blit_fast_copy_changes(const BlitRequest& r, RECT& written) {
    if (!r.source || r.source_key.enabled || r.dest_key.enabled || !unstretched(r)) return false;
    const Canvas& s = *r.source;
    const Canvas& d = *r.dest;
    if (s.format.bits < 8 || !canvases_share_colours(s, d) || canvases_overlap(s, d)) return false;
    written = RECT{};
    const RECT a = clipped_area(r);
    if (rect_empty(a)) return true;
    const int bpp = s.format.bytes_per_pixel();
    const int sx = r.source_rect.left + (a.left - r.dest_rect.left);
    const int sy = r.source_rect.top + (a.top - r.dest_rect.top);
    const size_t bytes = static_cast<size_t>(a.right - a.left) * bpp;
    for (int y = a.top; y < a.bottom; ++y) {
        uint8_t* to = d.row(y) + static_cast<ptrdiff_t>(a.left) * bpp;
        const uint8_t* from = s.row(sy + (y - a.top)) + static_cast<ptrdiff_t>(sx) * bpp;
        if (std::memcmp(to, from, bytes) == 0) continue;
        std::memcpy(to, from, bytes);
        if (rect_empty(written)) written = RECT{a.left, y, a.right, y + 1};
        written.bottom = y + 1;
    }
    return true;
}

bool blit_fast_keyed16(const BlitRequest& r) {
    if (!r.source || !r.source_key.enabled || r.dest_key.enabled || !unstretched(r)) return false;
    const Canvas& s = *r.source;
    const Canvas& d = *r.dest;
    if (s.format.bits != 16 || !canvases_share_colours(s, d)) return false;
    if (r.source_key.low != r.source_key.high || r.source_key.low > 0xFFFF) return false;
    if (canvases_overlap(s, d)) return false;
    const RECT a = clipped_area(r);
    if (rect_empty(a)) return true;
    const int sx = r.source_rect.left + (a.left - r.dest_rect.left);
    const int sy = r.source_rect.top + (a.top - r.dest_rect.top);
    const int w = a.right - a.left;
    const uint16_t key = static_cast<uint16_t>(r.source_key.low);
    for (int y = 0; y < a.bottom - a.top; ++y) {
        const uint8_t* sp = s.row(sy + y) + static_cast<ptrdiff_t>(sx) * 2;
        uint8_t* dp = d.row(a.top + y) + static_cast<ptrdiff_t>(a.left) * 2;
        int i = 0;
#if defined(__SSE2__)
        const __m128i k = _mm_set1_epi16(static_cast<short>(key));
        // Eight pixels from `at`: the source's where it is not the key.
        const auto keyed8 = [&](int at) {
            const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sp + 2 * at));
            const __m128i transparent = _mm_cmpeq_epi16(src, k);
            const int bits = _mm_movemask_epi8(transparent);
            if (bits == 0xFFFF) return; // all key: nothing to write
            if (bits == 0) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(dp + 2 * at), src);
                return;
            }
            const __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dp + 2 * at));
            const __m128i mixed =
                _mm_or_si128(_mm_and_si128(transparent, dst), _mm_andnot_si128(transparent, src));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dp + 2 * at), mixed);
        };
        for (; i + 8 <= w; i += 8)
            keyed8(i);
        // The last few again as the row's last eight: pixels done twice come
        // out the same, as the source and destination do not overlap. Glyphs
        // are narrow, so this is most of their rows.
        if (i < w && w >= 8) {
            keyed8(w - 8);
            i = w;
        }
#endif
        for (; i < w; ++i) {
            uint16_t v;
            std::memcpy(&v, sp + 2 * i, 2);
            if (v != key) std::memcpy(dp + 2 * i, &v, 2);
        }
    }
    return true;
}

void blit(const BlitRequest& r) {
    if (blit_fast_fill(r) || blit_fast_copy(r) || blit_fast_keyed16(r) || blit_fast_convert(r)) {
        return;
    }
    blit_reference(r);
}

namespace {

// 5-6-5 to 0x00RRGGBB with each channel scaled to 0..255 and rounded, as the
// reference does: round(v * 255 / 31) is (v * 527 + 23) >> 6 and round(v * 255 / 63)
// is (v * 259 + 33) >> 6 for every v. Plain arithmetic, so the compiler vectorises it.
inline uint32_t rgb565_to_xrgb(uint32_t p) {
    const uint32_t r = ((p >> 11) * 527 + 23) >> 6;
    const uint32_t g = (((p >> 5) & 63) * 259 + 33) >> 6;
    const uint32_t b = ((p & 31) * 527 + 23) >> 6;
    return (r << 16) | (g << 8) | b;
}

} // namespace

void convert_to_xrgb(const Canvas& c, RECT r, uint32_t* out, int out_pitch) {
    if (c.format == format_rgb565()) {
        for (int y = r.top; y < r.bottom; ++y) {
            const uint8_t* src = c.row(y) + static_cast<ptrdiff_t>(r.left) * 2;
            uint32_t* line = out + static_cast<ptrdiff_t>(y - r.top) * out_pitch;
            const int w = r.right - r.left;
            int i = 0;
#if defined(__SSE2__)
            // Eight pixels at a time in 16-bit lanes; the products stay below 2^15.
            const __m128i m6 = _mm_set1_epi16(63), m5 = _mm_set1_epi16(31);
            const __m128i k527 = _mm_set1_epi16(527), k259 = _mm_set1_epi16(259);
            const __m128i k23 = _mm_set1_epi16(23), k33 = _mm_set1_epi16(33);
            for (; i + 8 <= w; i += 8) {
                const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * i));
                const __m128i r5 = _mm_srli_epi16(p, 11);
                const __m128i g6 = _mm_and_si128(_mm_srli_epi16(p, 5), m6);
                const __m128i b5 = _mm_and_si128(p, m5);
                const __m128i r8 = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(r5, k527), k23), 6);
                const __m128i g8 = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(g6, k259), k33), 6);
                const __m128i b8 = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(b5, k527), k23), 6);
                const __m128i gb = _mm_or_si128(_mm_slli_epi16(g8, 8), b8);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(line + i), _mm_unpacklo_epi16(gb, r8));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(line + i + 4),
                                 _mm_unpackhi_epi16(gb, r8));
            }
#endif
            for (; i < w; ++i) {
                uint16_t p;
                std::memcpy(&p, src + 2 * i, 2);
                line[i] = rgb565_to_xrgb(p);
            }
        }
        return;
    }
    if (c.format == format_xrgb32()) {
        for (int y = r.top; y < r.bottom; ++y) {
            const uint8_t* src = c.row(y) + static_cast<ptrdiff_t>(r.left) * 4;
            uint32_t* line = out + static_cast<ptrdiff_t>(y - r.top) * out_pitch;
            for (int i = 0; i < r.right - r.left; ++i) {
                uint32_t p;
                std::memcpy(&p, src + 4 * static_cast<ptrdiff_t>(i), 4);
                line[i] = p & 0xFFFFFF;
            }
        }
        return;
    }
    convert_to_xrgb_reference(c, r, out, out_pitch);
}

} // namespace ludora::pixels
