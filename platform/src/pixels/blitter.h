// Rectangle blits between canvases: copies (with stretching, format conversion and
// colour keys) and fills. One obviously correct reference does everything; fast
// paths take the cases that matter (16-bit copies and keyed copies, fills, pictures
// converted onto 16-bit surfaces, and the 16 to 32-bit conversion for presentation)
// and must give the same pixels.
#pragma once

#include "pixels/canvas.h"

#include <windef.h>

#include <algorithm>

namespace ludora::pixels {

struct ColorKeyRange {
    bool enabled = false;
    uint32_t low = 0;
    uint32_t high = 0;
    bool matches(uint32_t raw) const { return raw >= low && raw <= high; }
};

struct BlitRequest {
    const Canvas* source = nullptr; // null for a fill
    RECT source_rect{};             // within the source
    const Canvas* dest = nullptr;
    RECT dest_rect{};         // where the whole source rectangle lands (may reach outside `clip`)
    RECT clip{};              // the part of the destination that may be written, within the canvas
    uint32_t fill = 0;        // raw fill value when there is no source
    ColorKeyRange source_key; // source pixels in this range are not copied
    ColorKeyRange dest_key;   // only destination pixels in this range are replaced
};

// The reference: pixel by pixel, nearest-neighbour stretching, keys on raw values.
void blit_reference(const BlitRequest& request);
// The same result, through a fast path when one applies.
void blit(const BlitRequest& request);

// Fast paths, exposed for tests and benchmarks; each returns false when the
// request is not its case (nothing is then written).
bool blit_fast_fill(const BlitRequest& request);
bool blit_fast_copy(const BlitRequest& request);
bool blit_fast_keyed16(const BlitRequest& request);
// The blit_fast_copy case between canvases apart in memory, writing only the
// rows that differ; `written` gets their bounds (empty when none did).
bool blit_fast_copy_changes(const BlitRequest& request, RECT& written);
// Unstretched copies from 24-bit, 32-bit (0x00RRGGBB) and 8-bit palettised canvases
// onto 5-6-5 and 5-5-5 ones, keyed or not.
bool blit_fast_convert(const BlitRequest& request);

// Converts a rectangle of a canvas to 0x00RRGGBB rows (`out` has `out_pitch`
// pixels per row). The reference and the 5-6-5 fast path.
void convert_to_xrgb_reference(const Canvas& c, RECT r, uint32_t* out, int out_pitch);
void convert_to_xrgb(const Canvas& c, RECT r, uint32_t* out, int out_pitch);

// Rectangle helpers.
inline bool rect_empty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}
inline RECT rect_intersect(const RECT& a, const RECT& b) {
    const RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return rect_empty(r) ? RECT{0, 0, 0, 0} : r;
}
// Whether two rectangles share a pixel.
inline bool rect_meet(const RECT& a, const RECT& b) {
    return !rect_empty(rect_intersect(a, b));
}
inline RECT canvas_rect(const Canvas& c) {
    return RECT{0, 0, c.width, c.height};
}
inline bool rect_inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

} // namespace ludora::pixels
