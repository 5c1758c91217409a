// BitBlt, StretchBlt and single pixels between device contexts.
#include "gdi/device_context.h"

#include "pixels/blitter.h"

#include <algorithm>

using namespace ludora;
using namespace ludora::gdi;

namespace {

// Copies with SRCCOPY; the fill operations paint the destination alone.
BOOL stretch(HDC dest_handle, int x, int y, int w, int h, HDC source_handle, int sx, int sy, int sw,
             int sh, DWORD rop) {
    DeviceContext* dest = find_dc(dest_handle);
    if (!dest) return FALSE;
    pixels::Canvas to;
    const bool has_target = dest->target(to);
    if (rop == BLACKNESS || rop == WHITENESS) {
        if (!has_target) return TRUE;
        pixels::BlitRequest fill;
        fill.dest = &to;
        fill.dest_rect =
            RECT{std::min(x, x + w), std::min(y, y + h), std::max(x, x + w), std::max(y, y + h)};
        fill.clip = pixels::canvas_rect(to);
        fill.fill = pixels::raw_for_xrgb(to, rop == BLACKNESS ? 0 : 0xFFFFFF);
        pixels::blit(fill);
        dest->note_drawn(fill.dest_rect);
        return TRUE;
    }
    if (rop != SRCCOPY) return FALSE;
    DeviceContext* source = find_dc(source_handle);
    if (!source) return FALSE;
    pixels::Canvas from;
    if (!source->target(from)) return FALSE;
    if (!has_target) return TRUE; // the screen's own context shows nothing of its own
    if (w == 0 || h == 0 || sw == 0 || sh == 0) return TRUE;
    // Mirroring is not supported; negative extents are refused.
    if (w < 0 || h < 0 || sw < 0 || sh < 0) return FALSE;

    // GDI clips the source to its bitmap and the destination to its surface,
    // keeping the scale of the whole request.
    RECT src{sx, sy, sx + sw, sy + sh};
    RECT dst{x, y, x + w, y + h};
    const RECT src_visible = pixels::rect_intersect(src, pixels::canvas_rect(from));
    if (pixels::rect_empty(src_visible)) return TRUE;
    if (src_visible.left != src.left || src_visible.top != src.top ||
        src_visible.right != src.right || src_visible.bottom != src.bottom) {
        // Shrink the destination by the same proportion as the source was cut.
        const int64_t dl = (int64_t(src_visible.left) - src.left) * w / sw;
        const int64_t dt = (int64_t(src_visible.top) - src.top) * h / sh;
        const int64_t dr = (int64_t(src.right) - src_visible.right) * w / sw;
        const int64_t db = (int64_t(src.bottom) - src_visible.bottom) * h / sh;
        dst = RECT{static_cast<LONG>(x + dl), static_cast<LONG>(y + dt),
                   static_cast<LONG>(x + w - dr), static_cast<LONG>(y + h - db)};
        src = src_visible;
        if (pixels::rect_empty(dst)) return TRUE;
    }
    pixels::BlitRequest request;
    request.source = &from;
    request.source_rect = src;
    request.dest = &to;
    request.dest_rect = dst;
    request.clip = pixels::canvas_rect(to);
    pixels::blit(request);
    dest->note_drawn(dst);
    return TRUE;
}

} // namespace

extern "C" BOOL WINAPI BitBlt(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy,
                              DWORD rop) {
    return stretch(dest, x, y, w, h, source, sx, sy, w, h, rop);
}

extern "C" BOOL WINAPI StretchBlt(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy,
                                  int sw, int sh, DWORD rop) {
    return stretch(dest, x, y, w, h, source, sx, sy, sw, sh, rop);
}

extern "C" int WINAPI SetStretchBltMode(HDC handle, int mode) {
    DeviceContext* dc = find_dc(handle);
    if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    // Every mode stretches by nearest neighbour, which is what COLORONCOLOR gives.
    const int previous = dc->stretch_mode;
    dc->stretch_mode = mode;
    return previous;
}

extern "C" int WINAPI GetStretchBltMode(HDC handle) {
    DeviceContext* dc = find_dc(handle);
    return dc ? dc->stretch_mode : 0;
}

extern "C" COLORREF WINAPI GetPixel(HDC handle, int x, int y) {
    DeviceContext* dc = find_dc(handle);
    pixels::Canvas c;
    if (!dc || !dc->target(c) || x < 0 || y < 0 || x >= c.width || y >= c.height) {
        return CLR_INVALID;
    }
    return pixels::xrgb_to_colorref(pixels::read_xrgb(c, x, y));
}

extern "C" COLORREF WINAPI SetPixel(HDC handle, int x, int y, COLORREF colour) {
    DeviceContext* dc = find_dc(handle);
    pixels::Canvas c;
    if (!dc || !dc->target(c) || x < 0 || y < 0 || x >= c.width || y >= c.height) {
        return static_cast<COLORREF>(-1);
    }
    const uint32_t raw = pixels::raw_for_xrgb(c, pixels::colorref_to_xrgb(colour));
    pixels::write_raw(c, x, y, raw);
    dc->note_drawn(RECT{x, y, x + 1, y + 1});
    return pixels::xrgb_to_colorref(pixels::raw_to_xrgb(c, raw));
}
