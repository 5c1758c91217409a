// The last few blits a surface received, remembered with the versions of both
// pictures they saw, so that the same blit made again redoes only what changed
// since in its source or its destination. Any copy without stretching gives the
// same pixels when repeated over what it wrote itself, keys or not, so redoing
// the changed parts equals a full copy.
#pragma once

#include "ddraw/blitter.h"

#include <cstdint>
#include <vector>

namespace ludora::video {

struct BlitRecord {
    uint64_t source_id = 0; // 0 for a fill
    RECT source_rect{};
    RECT dest_rect{};
    RECT clip{};
    uint32_t fill = 0;
    ColorKeyRange source_key;
    ColorKeyRange dest_key;
    uint64_t source_version = 0; // the source's version the copy saw
    uint64_t dest_version = 0;   // the destination's version right after it

    bool same_blit(const BlitRecord& other) const;
    // The same blit, from the same picture of its source.
    bool same_as_seen(const BlitRecord& other) const {
        return same_blit(other) && source_version == other.source_version;
    }
};

inline bool same_rect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline bool same_key(const ColorKeyRange& a, const ColorKeyRange& b) {
    return a.enabled == b.enabled && (!a.enabled || (a.low == b.low && a.high == b.high));
}

// The destination first: it tells most blits apart.
inline bool BlitRecord::same_blit(const BlitRecord& o) const {
    return same_rect(dest_rect, o.dest_rect) && source_id == o.source_id &&
           same_rect(source_rect, o.source_rect) && same_rect(clip, o.clip) && fill == o.fill &&
           same_key(source_key, o.source_key) && same_key(dest_key, o.dest_key);
}

class RepeatedBlits {
public:
    // Enough for a screen's worth of buttons, text and sprites drawn every frame.
    static constexpr size_t kKept = 96;
    // The remembered blit that is `blit` again, or null.
    BlitRecord* find(const BlitRecord& blit);
    // Keeps `blit` in place of the oldest.
    void remember(const BlitRecord& blit);

private:
    std::vector<BlitRecord> kept_;
    size_t next_ = 0;
    // Where the search starts: after the last one found, as a program makes
    // its blits in the same order frame after frame.
    size_t hint_ = 0;
};

} // namespace ludora::video
