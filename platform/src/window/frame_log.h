// LUDORA_FRAME_LOG=FILE: when the first frames were presented, for measuring
// a program's start-up from outside. The file starts with the process's start
// and then has one line per frame:
//   start MS
//   frame N MS HASH [blank]
// MS counts milliseconds on the host's boot-time clock (the process's start is
// as exact as the host keeps it, a hundredth of a second on Linux); HASH tells
// pictures apart, so the first frame of a new screen can be found; "blank"
// marks a picture of one colour (a cleared screen).
#pragma once

#include <cstdint>

namespace ludora::window {

// How many frames the log keeps.
constexpr int kLoggedFrames = 600;

// Notes a presented frame when the log is asked for; does nothing after the
// first kLoggedFrames frames.
void log_frame(const uint32_t* xrgb, int width, int height, int pitch);

// The hash of a picture as the log writes it (FNV-1a over its pixels, rows
// left to right, top to bottom).
uint32_t frame_hash(const uint32_t* xrgb, int width, int height, int pitch);

} // namespace ludora::window
