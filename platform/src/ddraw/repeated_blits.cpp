#include "ddraw/repeated_blits.h"

namespace ludora::video {

BlitRecord* RepeatedBlits::find(const BlitRecord& blit) {
    const size_t count = kept_.size();
    for (size_t n = 0, i = hint_; n < count; ++n, i = i + 1 == count ? 0 : i + 1) {
        if (!kept_[i].same_blit(blit)) continue;
        hint_ = i + 1 == count ? 0 : i + 1;
        return &kept_[i];
    }
    return nullptr;
}

void RepeatedBlits::remember(const BlitRecord& blit) {
    if (kept_.size() < kKept) {
        kept_.push_back(blit);
        return;
    }
    kept_[next_] = blit;
    next_ = (next_ + 1) % kKept;
}

} // namespace ludora::video
