// Copies a surface receives that the blits after them draw over, frame after
// frame: a background restored under a button, or under a line of text, that
// is then drawn again. Each such run (the copy, and the blits over its place
// until the surface is next read) is remembered with the surface's version
// after it. Blits of fixed pictures without a destination key give each pixel
// the last source's value or leave it, so the run made again over what it left
// changes nothing: the surface can hold the copy back, and drop the whole run
// when the same blits follow with their sources unchanged.
#pragma once

#include "ddraw/repeated_blits.h"

#include <vector>

namespace ludora::video {

struct CopyRun {
    BlitRecord copy; // each with the source's version it saw
    std::vector<BlitRecord> overs;
    RECT place{};       // every blit's area, bounded
    uint64_t after = 0; // the surface's version when it was next read
};

class OverdrawnCopies {
public:
    // Enough for the buttons and text fields of a screen.
    static constexpr size_t kKept = 32;
    // Longer runs (a page of text) are not worth holding.
    static constexpr size_t kLongestRun = 64;

    // The run that begins with `copy` (same blit, same source version), or null.
    const CopyRun* run_for(const BlitRecord& copy) const;
    // A blit of a fixed picture was made over `area`.
    void note_blit(const BlitRecord& blit, const RECT& area);
    // Anything else written over `area`.
    void note_write(const RECT& area);
    // The surface is read, at version `now`: the runs seen so far are complete.
    void note_read(uint64_t now);

private:
    void remember(const CopyRun& run);

    std::vector<CopyRun> open_; // copies made since the last read, with what followed
    std::vector<CopyRun> runs_;
    size_t next_run_ = 0;
};

} // namespace ludora::video
