#include "ddraw/shown_picture.h"

#include "core/settings.h"

#include <algorithm>
#include <cstring>

namespace ludora::video {

size_t ShownPicture::row_bytes(const Canvas& c, const RECT& area) {
    return static_cast<size_t>(area.right - area.left) * static_cast<size_t>(c.format.bits / 8);
}

bool ShownPicture::unchanged(const Canvas& c, const RECT& area, POINT origin, int width, int height,
                             HWND window, bool fullscreen) const {
    // Pictures of fewer than 8 bits a pixel are not remembered.
    if (!valid_ || c.format.bits < 8) return false;
    if (window != window_ || fullscreen != fullscreen_ || width != width_ || height != height_ ||
        origin.x != origin_.x || origin.y != origin_.y || !(c.format == format_) ||
        std::memcmp(&area, &area_, sizeof area) != 0)
        return false;
    const size_t palette_size = c.palette ? static_cast<size_t>(c.palette_size) : 0;
    if (palette_size != palette_.size() || !std::equal(palette_.begin(), palette_.end(), c.palette))
        return false;
    const size_t bytes = row_bytes(c, area);
    const size_t left = static_cast<size_t>(area.left) * (c.format.bits / 8);
    for (int y = area.top; y < area.bottom; ++y) {
        if (std::memcmp(c.row(y) + left, source_.data() + bytes * (y - area.top), bytes) != 0)
            return false;
    }
    return true;
}

void ShownPicture::remember_source(const Canvas& c, const RECT& area) {
    valid_ = c.format.bits >= 8;
    if (!valid_) return;
    format_ = c.format;
    palette_.assign(c.palette, c.palette ? c.palette + c.palette_size : c.palette);
    const size_t bytes = row_bytes(c, area);
    const size_t left = static_cast<size_t>(area.left) * (c.format.bits / 8);
    source_.resize(bytes * static_cast<size_t>(std::max(0L, long(area.bottom - area.top))));
    for (int y = area.top; y < area.bottom; ++y)
        std::memcpy(source_.data() + bytes * (y - area.top), c.row(y) + left, bytes);
}

const std::vector<uint32_t>& ShownPicture::frame_for(const Canvas& c, const RECT& area,
                                                     POINT origin, int width, int height,
                                                     HWND window, bool fullscreen) {
    static const bool pacing = settings::pacing();
    if (pacing && unchanged(c, area, origin, width, height, window, fullscreen)) return frame_;
    window_ = window;
    fullscreen_ = fullscreen;
    area_ = area;
    origin_ = origin;
    width_ = width;
    height_ = height;
    // What lies off the canvas shows black.
    frame_.assign(static_cast<size_t>(width) * height, 0);
    if (!rect_empty(area)) {
        uint32_t* first = frame_.data() + static_cast<ptrdiff_t>(area.top - origin.y) * width +
                          (area.left - origin.x);
        convert_to_xrgb(c, area, first, width);
        remember_source(c, area);
    } else {
        valid_ = false;
    }
    return frame_;
}

} // namespace ludora::video
