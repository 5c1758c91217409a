#include "window/frame_memory.h"

#include <algorithm>
#include <cstring>

namespace ludora::window {

bool FrameMemory::same_as_shown(const uint32_t* xrgb, int width, int height, int pitch) {
    const size_t row = static_cast<size_t>(width);
    bool same = width == width_ && height == height_ && !pixels_.empty();
    for (int y = 0; same && y < height; ++y) {
        same = std::memcmp(pixels_.data() + row * y, xrgb + static_cast<size_t>(pitch) * y,
                           row * sizeof(uint32_t)) == 0;
    }
    if (same) return true;
    pixels_.resize(row * height);
    for (int y = 0; y < height; ++y)
        std::copy_n(xrgb + static_cast<size_t>(pitch) * y, row, pixels_.data() + row * y);
    width_ = width;
    height_ = height;
    return false;
}

void FrameMemory::forget() {
    pixels_.clear();
    width_ = height_ = 0;
}

} // namespace ludora::window
