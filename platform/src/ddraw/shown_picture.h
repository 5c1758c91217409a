// What the primary surface last showed: the converted frame and everything it
// depends on (which surface and which of its versions, the window and where
// its client area lies), so that presenting the surface again converts only
// the rows written since, and an unchanged picture converts nothing.
#pragma once

#include "ddraw/blitter.h"
#include "pixels/damage.h"

#include <vector>

namespace ludora::video {

struct FrameRows {
    int top = 0; // the rows of the frame that changed, `bottom` exclusive
    int bottom = 0;
};

class ShownPicture {
public:
    // The 0x00RRGGBB frame of `width` x `height` pixels showing the part
    // `area` of canvas `c` (the memory of surface `surface_id`, whose writes
    // `damage` tells) at (`area` less `origin`), black elsewhere. `rows` says
    // which rows differ from the frame of the call before. Valid until the
    // next call.
    const std::vector<uint32_t>& frame_for(const Canvas& c, uint64_t surface_id,
                                           const DamageHistory& damage, const RECT& area,
                                           POINT origin, int width, int height, HWND window,
                                           bool fullscreen, FrameRows& rows);

private:
    bool same_place(const Canvas& c, uint64_t surface_id, const RECT& area, POINT origin, int width,
                    int height, HWND window, bool fullscreen) const;

    uint64_t surface_id_ = 0;
    uint64_t version_ = 0; // of the surface, when last converted
    HWND window_ = nullptr;
    bool fullscreen_ = false;
    RECT area_{};
    POINT origin_{};
    int width_ = 0;
    int height_ = 0;
    PixelFormat format_;
    bool valid_ = false;
    std::vector<uint32_t> frame_;
};

} // namespace ludora::video
