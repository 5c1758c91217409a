// What has been written to a picture, and when: a short history of the
// rectangles written, each stamped with the picture's version after the write.
// Whoever remembers the version he last saw asks what changed since. When the
// history is full two entries next to each other in time (a new write is the
// last entry's neighbour) are merged into their bounding rectangle under the
// later stamp: an answer may grow larger, never smaller.
#pragma once

#include "pixels/blitter.h"

#include <cstdint>

namespace ludora::pixels {

class DamageHistory {
public:
    static constexpr int kEntries = 32;

    // A new picture counts as wholly written, at version 1.
    explicit DamageHistory(RECT whole);

    uint64_t version() const { return version_; }
    // Notes a write to `r` (clipped to the picture; nothing when empty).
    void add(RECT r);
    void add_whole() { add(whole_); }
    // The rectangles written after version `since` (0: since the picture was
    // made); returns how many, at most kEntries.
    int changed_since(uint64_t since, RECT out[kEntries]) const;
    // Their bounding rectangle; empty when nothing changed.
    RECT bounds_since(uint64_t since) const;

private:
    RECT entry(int i) const;
    void put(int i, const RECT& r, uint64_t stamp);
    void drop_inside(const RECT& r);
    int cheapest_pair() const;
    void merge_pair(int first);

    RECT whole_;
    uint64_t version_ = 0;
    int count_ = 0;
    // The entries' edges, each in an array of its own, oldest first.
    LONG left_[kEntries];
    LONG top_[kEntries] = {};
    LONG right_[kEntries] = {};
    LONG bottom_[kEntries] = {};
    uint64_t stamps_[kEntries];
    // The area of the bounding rectangle of entries i and i + 1.
    int64_t join_area_[kEntries];
};

// The smallest rectangle holding both (either may be empty).
inline RECT rect_union(const RECT& a, const RECT& b) {
    if (rect_empty(a)) return b;
    if (rect_empty(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

} // namespace ludora::pixels
