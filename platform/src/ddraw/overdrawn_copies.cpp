#include "ddraw/overdrawn_copies.h"

#include "pixels/damage.h"

#include <algorithm>

namespace ludora::video {

const CopyRun* OverdrawnCopies::run_for(const BlitRecord& copy) const {
    for (const CopyRun& run : runs_)
        if (run.copy.same_as_seen(copy)) return &run;
    return nullptr;
}

void OverdrawnCopies::note_blit(const BlitRecord& blit, const RECT& area) {
    bool again = false, joined = false;
    for (auto run = open_.begin(); run != open_.end();) {
        const BlitRecord& last = run->overs.empty() ? run->copy : run->overs.back();
        if (!rect_meet(run->place, area) || last.same_as_seen(blit)) {
            // The same blit again over its own result changed nothing.
            again = again || run->copy.same_as_seen(blit);
            ++run;
            continue;
        }
        if (run->overs.size() == kLongestRun) {
            run = open_.erase(run);
            continue;
        }
        run->overs.push_back(blit);
        run->place = rect_union(run->place, area);
        joined = true;
        ++run;
    }
    // A blit over a copy is taken as part of its run, not the start of one:
    // the glyphs of a line of text would crowd out the copies under them.
    if (again || joined) return;
    if (open_.size() == kKept) open_.erase(open_.begin());
    open_.push_back(CopyRun{blit, {}, area, 0});
}

void OverdrawnCopies::note_write(const RECT& area) {
    std::erase_if(open_, [&](const CopyRun& run) { return rect_meet(run.place, area); });
}

void OverdrawnCopies::note_read(uint64_t now) {
    for (CopyRun& run : open_) {
        if (run.overs.empty()) continue; // a repeated blit skips itself already
        run.after = now;
        remember(run);
    }
    open_.clear();
}

void OverdrawnCopies::remember(const CopyRun& run) {
    auto same_copy = std::find_if(runs_.begin(), runs_.end(),
                                  [&](const CopyRun& r) { return r.copy.same_blit(run.copy); });
    if (same_copy != runs_.end()) {
        *same_copy = run;
    } else if (runs_.size() < kKept) {
        runs_.push_back(run);
    } else {
        runs_[next_run_] = run;
        next_run_ = (next_run_ + 1) % kKept;
    }
}

} // namespace ludora::video
