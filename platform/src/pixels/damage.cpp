#include "pixels/damage.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <limits>

namespace ludora::pixels {

namespace {

constexpr LONG kUnused = std::numeric_limits<LONG>::min();

int64_t area(const RECT& r) {
    return int64_t(r.right - r.left) * (r.bottom - r.top);
}

int64_t join_area(const RECT& a, const RECT& b) {
    return area(rect_union(a, b));
}

} // namespace

DamageHistory::DamageHistory(RECT whole) : whole_(whole) {
    // Unused places hold a left edge no write can reach, so that the search
    // for covered entries may look at every place without counting.
    std::fill(std::begin(left_), std::end(left_), kUnused);
    add(whole);
}

RECT DamageHistory::entry(int i) const {
    return RECT{left_[i], top_[i], right_[i], bottom_[i]};
}

void DamageHistory::put(int i, const RECT& r, uint64_t stamp) {
    left_[i] = r.left;
    top_[i] = r.top;
    right_[i] = r.right;
    bottom_[i] = r.bottom;
    stamps_[i] = stamp;
}

void DamageHistory::add(RECT r) {
    r = rect_intersect(r, whole_);
    if (rect_empty(r)) return;
    ++version_;
    // Entries inside the new one tell nothing more: whoever would hear of
    // them hears of the new one. Most writes cover none, and finding that
    // out is one pass the compiler can do many places at a time.
    int covered = 0;
    for (int i = 0; i < kEntries; ++i) {
        covered += (left_[i] >= r.left) & (top_[i] >= r.top) & (right_[i] <= r.right) &
                   (bottom_[i] <= r.bottom);
    }
    if (covered == 1 && rect_inside(entry(count_ - 1), r)) {
        left_[--count_] = kUnused; // the last one alone: nothing else moves
    } else if (covered > 0) {
        drop_inside(r);
    }
    if (count_ == kEntries) {
        // The new write and the last entry are neighbours in time too: when
        // they are the cheapest pair (the next glyph of a line of text), the
        // write takes the last entry in, and nothing moves.
        const int best = cheapest_pair();
        const RECT last = entry(count_ - 1);
        if (join_area(last, r) <= join_area_[best]) {
            r = rect_union(last, r);
            left_[--count_] = kUnused;
        } else {
            merge_pair(best);
        }
    }
    if (count_ > 0) join_area_[count_ - 1] = join_area(entry(count_ - 1), r);
    put(count_, r, version_);
    ++count_;
}

void DamageHistory::drop_inside(const RECT& r) {
    int kept = 0;
    int last_kept = -2;
    for (int i = 0; i < count_; ++i) {
        const RECT e = entry(i);
        if (rect_inside(e, r)) continue;
        // Neighbours that stay neighbours keep their cost.
        const int64_t joined = last_kept == i - 1 ? join_area_[i - 1] : 0;
        put(kept, e, stamps_[i]);
        if (kept > 0)
            join_area_[kept - 1] = last_kept == i - 1 ? joined : join_area(entry(kept - 1), e);
        last_kept = i;
        ++kept;
    }
    for (int i = kept; i < count_; ++i)
        left_[i] = kUnused;
    count_ = kept;
}

// Two entries next to each other in time become one under the later stamp:
// the pair whose bounding rectangle is smallest, so that neighbouring small
// writes merge and a large old entry stays old.
int DamageHistory::cheapest_pair() const {
    return static_cast<int>(std::min_element(join_area_, join_area_ + count_ - 1) - join_area_);
}

void DamageHistory::merge_pair(int first) {
    const RECT joined = rect_union(entry(first), entry(first + 1));
    for (LONG* edge : {left_, top_, right_, bottom_})
        std::copy(edge + first + 1, edge + count_, edge + first);
    std::copy(stamps_ + first + 1, stamps_ + count_, stamps_ + first);
    std::copy(join_area_ + first + 1, join_area_ + count_ - 1, join_area_ + first);
    --count_;
    left_[count_] = kUnused;
    put(first, joined, stamps_[first]);
    if (first > 0) join_area_[first - 1] = join_area(entry(first - 1), joined);
    if (first + 1 < count_) join_area_[first] = join_area(joined, entry(first + 1));
}

int DamageHistory::changed_since(uint64_t since, RECT out[kEntries]) const {
    int n = 0;
    for (int i = 0; i < count_; ++i) {
        if (stamps_[i] > since) out[n++] = entry(i);
    }
    return n;
}

RECT DamageHistory::bounds_since(uint64_t since) const {
    RECT bounds{};
    for (int i = 0; i < count_; ++i) {
        if (stamps_[i] > since) bounds = rect_union(bounds, entry(i));
    }
    return bounds;
}

} // namespace ludora::pixels
