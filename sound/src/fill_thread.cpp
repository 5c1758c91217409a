// The fill thread: refills each segment of the music buffer once the play
// cursor has left it, and tears the stream down when the buffer stops.
#include "zqsound.h"

#include <thread>

#include "sound_lock.h"
#include "stream_reader.h"
#include "stream_state.h"
#include "test_hooks.h"

using namespace zqsound;

thread_local int zqsound::g_bOnFillThread = 0;

namespace {

// Event i: the play cursor has reached segment i, so segment i - 1 has just
// been played. Under the lock, with the caller's thread stopping, pausing or
// setting the volume of the same buffer.
void RefillSegment(DWORD index) {
    _SNDStream& stream = ZQSound::g_StreamInfo;
    SNDSample* sample = stream.pSample;
    if (!(stream.dwFlags & STREAM_PRIMED) || !sample) {
        stream.dwFlags |= STREAM_PRIMED;
        // Event 0 before anything has played marks the start of play. When
        // the layer signals only positions the cursor crosses, the first
        // event is the end of segment 0, which then needs its refill.
        if (index == 0 || !sample) return;
    }
    LPDIRECTSOUNDBUFFER buffer = sample->lpBuffer;
    if (!buffer) return;
    DWORD segment = index == 0 ? STREAM_SEGMENTS - 1 : index - 1;
    LPVOID first = nullptr, second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    if (buffer->Lock(segment * stream.dwSegmentBytes, stream.dwSegmentBytes, &first, &firstBytes,
                     &second, &secondBytes, 0) != DS_OK)
        return;
    if (!first || firstBytes == 0) {
        buffer->Unlock(first, 0, second, 0);
        return;
    }
    int loop = (stream.dwFlags & STREAM_LOOP) != 0;
    if (stream.dwBytesLeft == 0 && !loop) {
        // The music has run out: stopping signals the stop event, and the
        // stream ends there.
        buffer->Unlock(first, 0, second, 0);
        buffer->Stop();
        return;
    }
    ReadStreamData((BYTE*)first, firstBytes, loop);
    if (second && secondBytes) ReadStreamData((BYTE*)second, secondBytes, loop);
    buffer->Unlock(first, firstBytes, second, secondBytes);
}

// The stop event ends the stream only when the buffer has really stopped: a
// paused stream keeps its thread, buffer and file for the resume. Under the
// lock, so a resume or a stop cannot come between the look and the teardown.
int StreamHasEnded() {
    _SNDStream& stream = ZQSound::g_StreamInfo;
    if (stream.dwFlags & STREAM_PAUSED) return 0;
    SNDSample* sample = stream.pSample;
    if (!sample || !sample->lpBuffer) return 1;
    DWORD status = 0;
    if (sample->lpBuffer->GetStatus(&status) != DS_OK) return 1;
    return !(status & DSBSTATUS_PLAYING);
}

} // namespace

DWORD WINAPI ZQSound::FillStream(LPVOID unused) {
    // The stream is complete before its thread starts (LoadStream starts it
    // last), and its events stay open until this thread releases the stream.
    g_bOnFillThread = 1;
    HANDLE events[STREAM_SEGMENTS + 1];
    {
        SoundGuard guard;
        for (int i = 0; i <= STREAM_SEGMENTS; ++i)
            events[i] = g_NotifyEvents[i];
    }
    for (;;) {
        DWORD woken = WaitForMultipleObjects(STREAM_SEGMENTS + 1, events, FALSE, INFINITE);
        if (woken > WAIT_OBJECT_0 + STREAM_STOP_EVENT) {
            std::this_thread::yield();
            continue;
        }
        DWORD index = woken - WAIT_OBJECT_0;
        if (index != STREAM_STOP_EVENT) {
            SoundGuard guard;
            RefillSegment(index);
            continue;
        }
        ZQSOUND_HOOK(FillStopSeen);
        DWORD id = 0;
        ZQStreamNextFunc next = nullptr;
        {
            // The look and the teardown are one step: no resume, stop or
            // load comes between them.
            SoundGuard guard;
            if (!StreamHasEnded()) continue;
            // Cleared first: the next stream's thread, started from pfnNext,
            // sets it for itself.
            g_StreamInfo.dwFlags &= ~(DWORD)STREAM_FILLING;
            // A stream loaded and never played is left to Exit.
            if (StreamIsPlaying()) {
                id = ReleaseStream();
                next = g_StreamInfo.pfnNext;
            }
        }
        // Outside the lock: pfnNext may load and play the next piece, and the
        // caller's thread may be waiting for this thread meanwhile.
        if (next) next(id);
        // Last: Exit counts on every fill thread, whoever has its handle.
        --g_nFillThreads;
        return 0;
    }
}
