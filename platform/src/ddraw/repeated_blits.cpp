#include "ddraw/repeated_blits.h"

namespace ludora::video {

BlitRecord* RepeatedBlits::find(const BlitRecord& blit) {
    for (BlitRecord& kept : kept_) {
        if (kept.same_blit(blit)) return &kept;
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
