// The stream as its threads share it. Who owns what, and when:
// - LoadStream builds the stream (slot, buffer, events, file, record) under
//   the library's lock and starts its fill thread last.
// - From then on the stream's slot and buffer belong to the stream: the pool
//   (ClearSampleList, FreeSample) leaves them alone, and only the stream's
//   own fill thread releases them, under the lock, when it takes a stop that
//   ended the stream. A stream loaded and never played is released by Exit
//   once its thread has ended.
// - Every other use (refills, stops, pauses, volume) is under the lock too,
//   so none meets a released buffer.
#pragma once

#include <atomic>

#include "zqsound.h"

namespace zqsound {

// Serial numbers of the stream loaded last and of the stream released last:
// a stream is gone once the second has reached its number, whichever slot
// the next stream then takes.
extern std::atomic<DWORD> g_nStreamSerial;
extern std::atomic<DWORD> g_nStreamReleased;

// Fill threads started and not yet ended, wherever their handles went (a
// thread that loads the next piece from pfnNext cannot join itself).
extern std::atomic<int> g_nFillThreads;

// Set on a fill thread: a call that waits for fill threads (Exit, from
// pfnNext) does not wait for the one it runs on.
extern thread_local int g_bOnFillThread;

// Set by Exit while it ends the music, cleared by Init: nothing may load,
// start or resume a stream, so no next piece starts behind Exit's back.
extern std::atomic<int> g_bStreamsClosed;

// Whether a stream is loaded and playing (paused or not), with its buffer.
// Under the lock.
int StreamIsPlaying();

// Stops the playing stream, whatever the music switch says, and waits until
// its fill thread has torn it down and run pfnNext. Answers 1.
int StopPlayingStream();

// On the stream's own fill thread: releases the playing stream under the
// lock, then calls pfnNext with its ID outside it.
void TearDownStream();

} // namespace zqsound
