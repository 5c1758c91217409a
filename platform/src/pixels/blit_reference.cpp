#include "pixels/blitter.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ludora::pixels {

namespace {

struct ByteRange {
    const uint8_t* begin;
    const uint8_t* end;
};

ByteRange bytes_of(const Canvas& c) {
    const uint8_t* first = c.pitch >= 0 ? c.top : c.row(c.height - 1);
    const uint8_t* last = c.pitch >= 0 ? c.row(c.height - 1) : c.top;
    return {first, last + (c.width * c.format.bits + 7) / 8};
}

bool same_palette(const Canvas& a, const Canvas& b) {
    if (a.palette == b.palette) return true;
    if (!a.palette || !b.palette || a.palette_size != b.palette_size) return false;
    return std::memcmp(a.palette, b.palette, sizeof(uint32_t) * a.palette_size) == 0;
}

// A copy of the source rectangle, so a blit within one surface reads what was there before.
struct SourceCopy {
    std::vector<uint8_t> bytes;
    Canvas canvas;
};

void copy_source(const BlitRequest& r, SourceCopy& out) {
    const Canvas& s = *r.source;
    const int w = r.source_rect.right - r.source_rect.left;
    const int h = r.source_rect.bottom - r.source_rect.top;
    out.canvas = s;
    out.canvas.width = w;
    out.canvas.height = h;
    out.canvas.pitch = ((w * s.format.bits + 31) / 32) * 4;
    out.bytes.assign(static_cast<size_t>(out.canvas.pitch) * h, 0);
    out.canvas.top = out.bytes.data();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            write_raw(out.canvas, x, y, read_raw(s, r.source_rect.left + x, r.source_rect.top + y));
        }
    }
}

} // namespace

bool canvases_overlap(const Canvas& a, const Canvas& b) {
    const ByteRange ra = bytes_of(a), rb = bytes_of(b);
    return ra.begin < rb.end && rb.begin < ra.end;
}

bool canvases_share_colours(const Canvas& a, const Canvas& b) {
    return a.format == b.format && (!a.format.indexed || same_palette(a, b));
}

void blit_reference(const BlitRequest& r) {
    const Canvas& d = *r.dest;
    const RECT area = rect_intersect(rect_intersect(r.dest_rect, r.clip), canvas_rect(d));
    if (rect_empty(area)) return;
    const uint32_t dest_mask = depth_mask(d.format.bits);

    if (!r.source) {
        const uint32_t fill = r.fill & dest_mask;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if (r.dest_key.enabled && !r.dest_key.matches(read_raw(d, x, y))) continue;
                write_raw(d, x, y, fill);
            }
        }
        return;
    }

    SourceCopy copy;
    const Canvas* s = r.source;
    RECT sr = r.source_rect;
    if (canvases_overlap(*r.source, d)) {
        copy_source(r, copy);
        s = &copy.canvas;
        sr = RECT{0, 0, copy.canvas.width, copy.canvas.height};
    }
    const bool raw_copy = canvases_share_colours(*s, d);
    const int64_t sw = sr.right - sr.left, sh = sr.bottom - sr.top;
    const int64_t dw = r.dest_rect.right - r.dest_rect.left;
    const int64_t dh = r.dest_rect.bottom - r.dest_rect.top;
    const uint32_t source_mask = depth_mask(s->format.bits);
    const PixelCodec source_codec(s->format), dest_codec(d.format);
    const auto to_xrgb = [&](uint32_t raw) {
        return s->format.indexed ? raw_to_xrgb(*s, raw) : source_codec.decode(raw);
    };
    const auto from_xrgb = [&](uint32_t xrgb) {
        return d.format.indexed ? raw_for_xrgb(d, xrgb) : dest_codec.encode(xrgb);
    };
    uint32_t last_xrgb = 0xFFFFFFFF, last_raw = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        const int sy = sr.top + static_cast<int>((y - r.dest_rect.top) * sh / dh);
        for (int x = area.left; x < area.right; ++x) {
            const int sx = sr.left + static_cast<int>((x - r.dest_rect.left) * sw / dw);
            const uint32_t raw = read_raw(*s, sx, sy) & source_mask;
            if (r.source_key.enabled && r.source_key.matches(raw)) continue;
            if (r.dest_key.enabled && !r.dest_key.matches(read_raw(d, x, y))) continue;
            uint32_t out = raw;
            if (!raw_copy) {
                const uint32_t xrgb = to_xrgb(raw);
                if (xrgb != last_xrgb) {
                    last_xrgb = xrgb;
                    last_raw = from_xrgb(xrgb);
                }
                out = last_raw;
            }
            write_raw(d, x, y, out);
        }
    }
}

void convert_to_xrgb_reference(const Canvas& c, RECT r, uint32_t* out, int out_pitch) {
    for (int y = r.top; y < r.bottom; ++y) {
        uint32_t* line = out + static_cast<ptrdiff_t>(y - r.top) * out_pitch;
        for (int x = r.left; x < r.right; ++x)
            line[x - r.left] = read_xrgb(c, x, y);
    }
}

} // namespace ludora::pixels
