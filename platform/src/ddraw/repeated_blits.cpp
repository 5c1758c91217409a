#include "ddraw/repeated_blits.h"

#include <cstring>

namespace ludora::video {

namespace {

bool same_rect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool same_key(const ColorKeyRange& a, const ColorKeyRange& b) {
    return a.enabled == b.enabled && (!a.enabled || (a.low == b.low && a.high == b.high));
}

} // namespace

bool BlitRecord::same_blit(const BlitRecord& o) const {
    return source_id == o.source_id && same_rect(source_rect, o.source_rect) &&
           same_rect(dest_rect, o.dest_rect) && same_rect(clip, o.clip) && fill == o.fill &&
           same_key(source_key, o.source_key) && same_key(dest_key, o.dest_key);
}

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
