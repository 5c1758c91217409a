// Points where the tests' own build of the library lets a test hold a thread,
// so a chosen meeting of the caller's, callback and fill threads can be
// brought about on purpose. In the programs' builds every hook is empty.
#pragma once

namespace zqsound {

enum class HookPoint {
    SoundLocking,        // about to take the library's lock
    AllocSampleFound,    // AllocSample has found a free slot, not yet marked
    ClearSampleRange,    // ClearSample has found the new end of the range, not yet set
    ClearListStopped,    // ClearSampleList has stopped a buffer it will release
    SamplePlayChecked,   // SNDSample::PlaySample has found its buffer
    SetVolumeChecked,    // SNDSample::SetVolume has found its buffer
    CallbackWoken,       // the callback thread woke for a chain entry
    FillStopSeen,        // the fill thread woke for the stop event
    StreamReleasing,     // the stream's teardown begins
    StreamReleased,      // the stream's teardown is done
    StopStreamHasBuffer, // StopStream holds the buffer it will stop
    StreamThreadJoin,    // about to wait for a fill thread to end
    ResumeBeforePlay,    // PauseStream's resume cleared the paused bit, not yet playing
    LoadStreamWaits,     // LoadStream waits for the last piece's teardown
    Count                // (how many there are)
};

#ifdef ZQSOUND_TEST_HOOKS
typedef void (*HookFunc)(HookPoint point);
// Installs the function every hook calls (null: none).
void SetTestHook(HookFunc func);
void RunTestHook(HookPoint point);
#define ZQSOUND_HOOK(point) ::zqsound::RunTestHook(::zqsound::HookPoint::point)
#else
#define ZQSOUND_HOOK(point) ((void)0)
#endif

} // namespace zqsound
