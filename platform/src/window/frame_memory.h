// The picture a window shows, remembered so that presenting the same picture
// again costs a comparison instead of an upload to the window.
#pragma once

#include <cstdint>
#include <vector>

namespace ludora::window {

class FrameMemory {
public:
    // True when `xrgb` (width x height pixels, `pitch` apart) is the picture
    // remembered; otherwise remembers it and answers false.
    bool same_as_shown(const uint32_t* xrgb, int width, int height, int pitch);
    // The next picture counts as new, whatever it holds (the window was
    // redrawn or recreated, or its texture replaced).
    void forget();

private:
    std::vector<uint32_t> pixels_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace ludora::window
