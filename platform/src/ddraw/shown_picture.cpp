#include "ddraw/shown_picture.h"

#include "core/settings.h"

#include <algorithm>
#include <cstring>

namespace ludora::video {

bool ShownPicture::same_place(const Canvas& c, uint64_t surface_id, const RECT& area, POINT origin,
                              int width, int height, HWND window, bool fullscreen) const {
    return valid_ && surface_id == surface_id_ && window == window_ && fullscreen == fullscreen_ &&
           width == width_ && height == height_ && origin.x == origin_.x && origin.y == origin_.y &&
           c.format == format_ && std::memcmp(&area, &area_, sizeof area) == 0;
}

const std::vector<uint32_t>& ShownPicture::frame_for(const Canvas& c, uint64_t surface_id,
                                                     const DamageHistory& damage, const RECT& area,
                                                     POINT origin, int width, int height,
                                                     HWND window, bool fullscreen,
                                                     FrameRows& rows) {
    // Without pacing every frame is converted whole, to measure what this saves.
    static const bool pacing = settings::pacing();
    if (pacing && same_place(c, surface_id, area, origin, width, height, window, fullscreen)) {
        const RECT changed = rect_intersect(damage.bounds_since(version_), area);
        version_ = damage.version();
        rows = FrameRows{};
        if (rect_empty(changed)) return frame_;
        const RECT band{area.left, changed.top, area.right, changed.bottom};
        uint32_t* first = frame_.data() + static_cast<ptrdiff_t>(band.top - origin.y) * width +
                          (band.left - origin.x);
        convert_to_xrgb(c, band, first, width);
        rows = FrameRows{band.top - origin.y, band.bottom - origin.y};
        return frame_;
    }
    surface_id_ = surface_id;
    version_ = damage.version();
    window_ = window;
    fullscreen_ = fullscreen;
    area_ = area;
    origin_ = origin;
    width_ = width;
    height_ = height;
    format_ = c.format;
    // What lies off the canvas shows black.
    frame_.assign(static_cast<size_t>(width) * height, 0);
    valid_ = !rect_empty(area);
    if (valid_) {
        uint32_t* first = frame_.data() + static_cast<ptrdiff_t>(area.top - origin.y) * width +
                          (area.left - origin.x);
        convert_to_xrgb(c, area, first, width);
    }
    rows = FrameRows{0, height};
    return frame_;
}

} // namespace ludora::video
