#include "pixels/damage.h"

#include <algorithm>

namespace ludora::pixels {

namespace {

int64_t area(const RECT& r) {
    return int64_t(r.right - r.left) * (r.bottom - r.top);
}

} // namespace

RECT rect_union(const RECT& a, const RECT& b) {
    if (rect_empty(a)) return b;
    if (rect_empty(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

DamageHistory::DamageHistory(RECT whole) : whole_(whole) {
    add(whole);
}

void DamageHistory::add(RECT r) {
    r = rect_intersect(r, whole_);
    if (rect_empty(r)) return;
    ++version_;
    // Entries inside the new one tell nothing more: whoever would hear of
    // them hears of the new one.
    int kept = 0;
    for (int i = 0; i < count_; ++i) {
        if (rect_inside(rects_[i], r)) continue;
        rects_[kept] = rects_[i];
        stamps_[kept] = stamps_[i];
        ++kept;
    }
    count_ = kept;
    if (count_ == kEntries) {
        // Two entries next to each other in time become one under the later
        // stamp: the pair whose bounding rectangle is smallest, so that
        // neighbouring small writes merge and a large old entry stays old.
        int best = 0;
        int64_t smallest = INT64_MAX;
        for (int i = 0; i + 1 < count_; ++i) {
            const int64_t size = area(rect_union(rects_[i], rects_[i + 1]));
            if (size < smallest) {
                smallest = size;
                best = i;
            }
        }
        rects_[best + 1] = rect_union(rects_[best], rects_[best + 1]);
        std::copy(rects_ + best + 1, rects_ + count_, rects_ + best);
        std::copy(stamps_ + best + 1, stamps_ + count_, stamps_ + best);
        --count_;
    }
    rects_[count_] = r;
    stamps_[count_] = version_;
    ++count_;
}

int DamageHistory::changed_since(uint64_t since, RECT out[kEntries]) const {
    int n = 0;
    for (int i = 0; i < count_; ++i) {
        if (stamps_[i] > since) out[n++] = rects_[i];
    }
    return n;
}

RECT DamageHistory::bounds_since(uint64_t since) const {
    RECT bounds{};
    for (int i = 0; i < count_; ++i) {
        if (stamps_[i] > since) bounds = rect_union(bounds, rects_[i]);
    }
    return bounds;
}

} // namespace ludora::pixels
