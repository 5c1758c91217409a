// The library's one lock. The caller's thread, the callback thread and the
// fill thread all reach the pool and the stream; whatever they share beyond a
// single atomic word is read and changed under this lock:
// - the pool: a slot's in-use bit and fields, the range g_pLastSample, every
//   sample's buffer (lpBuffer is set and released only under it) and chain link;
// - the chain entries and what the callback thread does for one;
// - the stream: its record, buffer, events, file and fill-thread handle.
// It is recursive because the library's own calls nest (FindSample frees and
// duplicates, LoadSample finds and allocates). Nothing waits for another
// thread while holding it: joins and spin-waits happen outside.
#pragma once

#include <mutex>

#include "test_hooks.h"

namespace zqsound {

std::recursive_mutex& SoundLock();

class SoundGuard {
public:
    SoundGuard() {
        ZQSOUND_HOOK(SoundLocking);
        SoundLock().lock();
    }
    ~SoundGuard() { SoundLock().unlock(); }
    SoundGuard(const SoundGuard&) = delete;
    SoundGuard& operator=(const SoundGuard&) = delete;
};

} // namespace zqsound
