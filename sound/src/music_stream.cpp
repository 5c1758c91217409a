// Streamed music: one two-second buffer of eight quarter-second segments,
// refilled from the file by the fill thread as the play cursor leaves each.
#include "zqsound.h"

#include <stdint.h>
#include <thread>

#include "riff_file.h"
#include "sound_lock.h"
#include "stream_reader.h"
#include "stream_state.h"
#include "test_hooks.h"

using namespace zqsound;

_SNDStream ZQSound::g_StreamInfo;
HANDLE ZQSound::g_NotifyEvents[STREAM_SEGMENTS + 1] = {};
DSBPOSITIONNOTIFY ZQSound::g_StreamPositions[STREAM_SEGMENTS + 1] = {};
LPDIRECTSOUNDNOTIFY ZQSound::g_lpStreamNotify = nullptr;
std::atomic<HANDLE> ZQSound::g_FillThread{nullptr};
std::atomic<DWORD> ZQSound::g_FillThreadID{0};

namespace {

void CloseNotifyEvents() {
    for (int i = 0; i <= STREAM_SEGMENTS; ++i) {
        if (ZQSound::g_NotifyEvents[i]) CloseHandle(ZQSound::g_NotifyEvents[i]);
        ZQSound::g_NotifyEvents[i] = nullptr;
        ZQSound::g_StreamPositions[i].hEventNotify = nullptr;
    }
}

} // namespace

namespace zqsound {

std::atomic<DWORD> g_nStreamSerial{0};
std::atomic<DWORD> g_nStreamReleased{0};
std::atomic<int> g_nFillThreads{0};
std::atomic<int> g_bStreamsClosed{0};

int StreamIsPlaying() {
    _SNDStream& stream = ZQSound::g_StreamInfo;
    DWORD state = stream.dwFlags;
    SNDSample* sample = stream.pSample;
    return (state & STREAM_LOADED) && (state & STREAM_PLAYING) && sample && sample->lpBuffer;
}

int StopPlayingStream() {
    HANDLE thread = nullptr;
    DWORD serial = 0;
    {
        // The buffer is stopped under the lock, so the fill thread cannot
        // release it meanwhile, however the music is ending.
        SoundGuard guard;
        if (!StreamIsPlaying()) return 1;
        serial = g_nStreamSerial;
        LPDIRECTSOUNDBUFFER buffer = ZQSound::g_StreamInfo.pSample.load()->lpBuffer;
        ZQSOUND_HOOK(StopStreamHasBuffer);
        ZQSound::g_StreamInfo.dwFlags &= ~(DWORD)STREAM_PAUSED;
        buffer->Stop();
        for (;;) {
            DWORD status = 0;
            if (buffer->GetStatus(&status) != DS_OK ||
                !(status & (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING)))
                break;
            std::this_thread::yield();
        }
        // A buffer reports a stop only when it was playing: a paused one, or
        // one the fill thread stopped at the music's end, says nothing new.
        // The stop event ends the stream whatever the buffer reported.
        HANDLE stopEvent = ZQSound::g_NotifyEvents[STREAM_STOP_EVENT];
        if (stopEvent) SetEvent(stopEvent);
        // The thread is ours to join: a next stream loaded by pfnNext while
        // we wait gets a thread of its own.
        if (GetCurrentThreadId() != ZQSound::g_FillThreadID)
            thread = ZQSound::g_FillThread.exchange(nullptr);
    }
    // Its fill thread tears the stream down, runs pfnNext and ends.
    if (thread) {
        ZQSOUND_HOOK(StreamThreadJoin);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    } else if (GetCurrentThreadId() != ZQSound::g_FillThreadID) {
        // Another caller is joining the thread: wait for the teardown itself.
        while ((LONG)(g_nStreamReleased - serial) < 0)
            std::this_thread::yield();
    }
    return 1;
}

void TearDownStream() {
    DWORD id = 0;
    ZQStreamNextFunc next = nullptr;
    {
        SoundGuard guard;
        if (!StreamIsPlaying()) return;
        id = ReleaseStream();
        next = ZQSound::g_StreamInfo.pfnNext;
    }
    // Outside the lock: pfnNext may load and play the next piece, and the
    // caller's thread may wait for this thread meanwhile.
    if (next) next(id);
}

} // namespace zqsound

namespace {

// A stream that has ended (by itself, or by a stop on another thread) and
// waits for its fill thread to tear it down. Under the lock.
int StreamAwaitsTeardown() {
    if (!StreamIsPlaying() || (ZQSound::g_StreamInfo.dwFlags & STREAM_PAUSED)) return 0;
    DWORD status = 0;
    LPDIRECTSOUNDBUFFER buffer = ZQSound::g_StreamInfo.pSample.load()->lpBuffer;
    return buffer->GetStatus(&status) == DS_OK && !(status & DSBSTATUS_PLAYING);
}

} // namespace

int ZQSound::LoadStream(char* fileName, unsigned long id) {
    if (!m_bMusic) return 0;
    for (;;) {
        DWORD serial = 0;
        {
            SoundGuard guard;
            if (!m_bMusic || g_bStreamsClosed) return 0;
            if (!(g_StreamInfo.dwFlags & STREAM_LOADED)) return open_stream(fileName, id);
            // One stream at a time: a piece that plays, is paused or was
            // never played stays, and the load is refused. One that has just
            // ended is on its way out: wait for it rather than load over it.
            if (!StreamAwaitsTeardown() || GetCurrentThreadId() == g_FillThreadID) return 0;
            serial = g_nStreamSerial;
            if (g_NotifyEvents[STREAM_STOP_EVENT]) SetEvent(g_NotifyEvents[STREAM_STOP_EVENT]);
        }
        ZQSOUND_HOOK(LoadStreamWaits);
        while ((LONG)(g_nStreamReleased - serial) < 0)
            std::this_thread::yield();
    }
}

// Builds the stream under the lock, with no stream loaded.
int ZQSound::open_stream(char* fileName, unsigned long id) {
    // The thread of the last stream has let its stream go (or is this one,
    // running the stream's pfnNext): its handle goes too.
    HANDLE old = g_FillThread.exchange(nullptr);
    if (old) CloseHandle(old);

    for (int i = 0; i <= STREAM_SEGMENTS; ++i) {
        g_NotifyEvents[i] = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        if (!g_NotifyEvents[i]) {
            CloseNotifyEvents();
            return 0;
        }
    }

    HANDLE file = INVALID_HANDLE_VALUE;
    SNDSample* sample = AllocSample();
    DWORD segment = 0;
    int ready = 0;
    do {
        if (!sample) break;
        file = sample->OpenSoundFile(fileName);
        if (file == INVALID_HANDLE_VALUE) break;
        if ((DWORD)id != 0xFFFFFFFF) sample->dwID = (DWORD)id;

        // A quarter second, whole frames.
        uint64_t frame = (uint64_t)sample->dwBitsPerSample * sample->dwChannels / 8;
        if (frame == 0) break;
        uint64_t quarter = frame * sample->dwSampleRate * 2000 / 8000;
        quarter = (quarter + frame - 1) / frame * frame;
        if (quarter == 0 || quarter * STREAM_SEGMENTS > DSBSIZE_MAX) break;
        segment = (DWORD)quarter;
        if ((sample->dwFlags & SND_LOOPED) && sample->dwLoopEnd - sample->dwLoopStart < segment)
            break;

        if (!sample->AllocDSBuffer(segment * STREAM_SEGMENTS)) break;
        if (sample->lpBuffer->QueryInterface(IID_IDirectSoundNotify, (void**)&g_lpStreamNotify) !=
                DS_OK ||
            !g_lpStreamNotify)
            break;
        for (int i = 0; i < STREAM_SEGMENTS; ++i) {
            g_StreamPositions[i].dwOffset = (DWORD)i * segment;
            g_StreamPositions[i].hEventNotify = g_NotifyEvents[i];
        }
        g_StreamPositions[STREAM_STOP_EVENT].dwOffset = DSBPN_OFFSETSTOP;
        g_StreamPositions[STREAM_STOP_EVENT].hEventNotify = g_NotifyEvents[STREAM_STOP_EVENT];
        if (g_lpStreamNotify->SetNotificationPositions(STREAM_SEGMENTS + 1, g_StreamPositions) !=
            DS_OK)
            break;
        ready = 1;
    } while (false);

    if (!ready) {
        if (file != INVALID_HANDLE_VALUE) g_pCloseFile(file);
        if (g_lpStreamNotify) {
            g_lpStreamNotify->Release();
            g_lpStreamNotify = nullptr;
        }
        CloseNotifyEvents();
        if (sample) {
            if (sample->lpBuffer) {
                sample->lpBuffer->Release();
                sample->lpBuffer = nullptr;
            }
            ClearSample(sample);
        }
        return 0;
    }

    uint64_t start = TellPosition(file);
    g_StreamInfo.dwDataStart = start == UINT64_MAX ? 0 : (DWORD)start;
    g_StreamInfo.hFile = file;
    g_StreamInfo.dwSegmentBytes = segment;
    g_StreamInfo.dwBufferBytes = segment * STREAM_SEGMENTS;
    g_StreamInfo.pSample = sample;
    g_StreamInfo.dwFlags |= STREAM_LOADED | STREAM_FILLING;
    ++g_nStreamSerial;
    init_stream_buffer();

    // The thread starts last, on a stream that is complete: nothing above
    // has to end it again.
    DWORD threadId = 0;
    ++g_nFillThreads;
    HANDLE thread = CreateThread(nullptr, 0, FillStream, nullptr, 0, &threadId);
    if (!thread) {
        --g_nFillThreads;
        g_StreamInfo.dwFlags &= ~(DWORD)STREAM_FILLING;
        ReleaseStream();
        return 0;
    }
    SetThreadPriority(thread, THREAD_PRIORITY_LOWEST);
    g_FillThread = thread;
    g_FillThreadID = threadId;
    return 1;
}

int ZQSound::init_stream_buffer() {
    SoundGuard guard;
    SNDSample* sample = g_StreamInfo.pSample;
    if (!sample || !sample->lpBuffer) return 0;
    if (!SeekTo(g_StreamInfo.hFile, g_StreamInfo.dwDataStart)) return 0;
    g_StreamInfo.dwBytesLeft = sample->dwDataSize;
    LPVOID first = nullptr, second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    if (sample->lpBuffer->Lock(0, g_StreamInfo.dwBufferBytes, &first, &firstBytes, &second,
                               &secondBytes, 0) != DS_OK)
        return 0;
    // Music shorter than the buffer: past its end lies silence, or, when the
    // stream loops, the music again.
    int loop = (g_StreamInfo.dwFlags & STREAM_LOOP) != 0;
    ReadStreamData((BYTE*)first, firstBytes, loop);
    if (second) ReadStreamData((BYTE*)second, secondBytes, loop);
    sample->lpBuffer->Unlock(first, firstBytes, second, secondBytes);
    return 1;
}

int ZQSound::PlayStream(int flags) {
    if (!m_bMusic) return 1;
    SoundGuard guard;
    if (g_bStreamsClosed) return 1;
    DWORD state = g_StreamInfo.dwFlags;
    SNDSample* sample = g_StreamInfo.pSample;
    if (!(state & STREAM_LOADED) || (state & STREAM_PLAYING) || !sample || !sample->lpBuffer)
        return 1;
    g_StreamInfo.dwFlags |= (DWORD)flags;
    if ((flags & STREAM_LOOP) && sample->dwDataSize < g_StreamInfo.dwBufferBytes)
        init_stream_buffer();
    // From the first frame: the refill scheme of FillStream needs no lead-in.
    sample->lpBuffer->SetCurrentPosition(0);
    g_StreamInfo.dwFlags |= STREAM_PLAYING;
    sample->lpBuffer->Play(0, 0, DSBPLAY_LOOPING);
    return 1;
}

int ZQSound::StopStream() {
    if (!m_bMusic) return 1;
    return StopPlayingStream();
}

int ZQSound::PauseStream() {
    // Under the lock, so the fill thread looks at a stop either before the
    // paused bit changes or after the buffer plays again: never in between,
    // where a quick resume would look like the music's end.
    SoundGuard guard;
    DWORD state = g_StreamInfo.dwFlags;
    SNDSample* sample = g_StreamInfo.pSample;
    if (!(state & STREAM_LOADED) || !(state & STREAM_PLAYING) || !sample || !sample->lpBuffer)
        return 1;
    if (state & STREAM_PAUSED) {
        if (g_bStreamsClosed) return 1;
        g_StreamInfo.dwFlags &= ~(DWORD)STREAM_PAUSED;
        ZQSOUND_HOOK(ResumeBeforePlay);
        sample->lpBuffer->SetCurrentPosition(sample->dwPausePos);
        sample->lpBuffer->Play(0, 0, DSBPLAY_LOOPING);
    } else {
        // Marked paused before the Stop, so the fill thread keeps the stream.
        g_StreamInfo.dwFlags |= STREAM_PAUSED;
        DWORD play = 0, write = 0;
        if (sample->lpBuffer->GetCurrentPosition(&play, &write) == DS_OK) sample->dwPausePos = play;
        sample->lpBuffer->Stop();
    }
    return 1;
}

int ZQSound::CleanupStream() {
    {
        SoundGuard guard;
        if (!StreamIsPlaying()) return 1;
        // The stream's own fill thread tears it down; any other thread asks it
        // to, as StopStream does, instead of releasing under it.
        if (GetCurrentThreadId() != g_FillThreadID) return StopPlayingStream();
    }
    TearDownStream();
    return 1;
}

// Exit ends the music for good, whatever the hand-over from one piece to the
// next is doing: from here on nothing loads, starts or resumes a stream (a
// next piece pfnNext would load is refused), the playing stream is stopped
// and torn down by its thread, one never played is released once its thread
// has ended, and every fill thread has ended before the pool goes.
void ZQSound::discard_stream() {
    {
        SoundGuard guard;
        g_bStreamsClosed = 1;
    }
    for (;;) {
        {
            SoundGuard guard;
            if (!StreamIsPlaying()) break;
        }
        StopPlayingStream();
    }
    HANDLE thread = nullptr;
    {
        SoundGuard guard;
        thread = g_FillThread.exchange(nullptr);
        // The thread of a stream never played ends at the stop and leaves
        // the stream to us.
        if ((g_StreamInfo.dwFlags & STREAM_LOADED) && g_NotifyEvents[STREAM_STOP_EVENT])
            SetEvent(g_NotifyEvents[STREAM_STOP_EVENT]);
    }
    if (thread) {
        // Exit from pfnNext does not wait for its own thread.
        if (GetCurrentThreadId() != g_FillThreadID) {
            ZQSOUND_HOOK(StreamThreadJoin);
            WaitForSingleObject(thread, INFINITE);
        }
        CloseHandle(thread);
    }
    // A thread that loaded the next piece from pfnNext let its own handle go.
    while (g_nFillThreads > (g_bOnFillThread ? 1 : 0))
        std::this_thread::yield();
    SoundGuard guard;
    if (g_StreamInfo.dwFlags & STREAM_LOADED) ReleaseStream();
}

// The stream's slot and buffer stay put under the lock; a natural end
// releases them only between two of these calls, never during one.
void ZQSound::SetStreamVolume(int volume) {
    SoundGuard guard;
    SNDSample* sample = g_StreamInfo.pSample;
    if (sample) sample->SetVolume(volume);
}

int ZQSound::GetStreamVolume() {
    SoundGuard guard;
    SNDSample* sample = g_StreamInfo.pSample;
    return sample ? sample->nVolume.load() : 0;
}

DWORD ZQSound::GetStreamID() {
    SoundGuard guard;
    SNDSample* sample = g_StreamInfo.pSample;
    return sample ? sample->dwID : 0;
}

_SNDStream* ZQSound::GetStreamInfoPtr() {
    return &g_StreamInfo;
}

ZQStreamNextFunc ZQSound::SetStreamNextFunc(ZQStreamNextFunc func) {
    return g_StreamInfo.pfnNext.exchange(func);
}

ZQStreamNextFunc ZQSound::GetStreamNextFunc() {
    return g_StreamInfo.pfnNext;
}

void ZQSound::ClearStreamNextStreamFunc() {
    g_StreamInfo.pfnNext = nullptr;
}

void ZQSound::FadeMusic(int from, int to, unsigned long milliseconds) {
    DWORD ms = (DWORD)milliseconds;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD now = GetTickCount();
        if (!(now < start + ms)) break;
        int64_t step = (int64_t)(now - start) * ((int64_t)to - from) / (int64_t)ms;
        SetStreamVolume((int)(from + step));
        Sleep(1);
    }
    SetStreamVolume(to);
}

void ZQSound::FadeMusicIn(unsigned long milliseconds) {
    FadeMusic(0, m_nMusicVolume, milliseconds);
}

void ZQSound::FadeMusicOut(unsigned long milliseconds) {
    FadeMusic(m_nMusicVolume, 0, milliseconds);
}
