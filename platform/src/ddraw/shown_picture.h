// What the primary surface last showed, with everything its converted frame
// depends on (the source pixels, their format and palette, the window and
// where its client area lies), so that presenting an unchanged picture again
// skips the conversion.
#pragma once

#include "ddraw/blitter.h"

#include <vector>

namespace ludora::video {

class ShownPicture {
public:
    // The 0x00RRGGBB frame of `width` x `height` pixels showing the part
    // `area` of canvas `c` at (`area` less `origin`), black elsewhere:
    // converted afresh only when something it depends on changed since the
    // last call. Valid until the next call.
    const std::vector<uint32_t>& frame_for(const Canvas& c, const RECT& area, POINT origin,
                                           int width, int height, HWND window, bool fullscreen);

private:
    bool unchanged(const Canvas& c, const RECT& area, POINT origin, int width, int height,
                   HWND window, bool fullscreen) const;
    void remember_source(const Canvas& c, const RECT& area);
    static size_t row_bytes(const Canvas& c, const RECT& area);

    HWND window_ = nullptr;
    bool fullscreen_ = false;
    RECT area_{};
    POINT origin_{};
    int width_ = 0;
    int height_ = 0;
    PixelFormat format_;
    std::vector<uint32_t> palette_;
    std::vector<uint8_t> source_; // the rows of `area_`, as last converted
    bool valid_ = false;
    std::vector<uint32_t> frame_;
};

} // namespace ludora::video
