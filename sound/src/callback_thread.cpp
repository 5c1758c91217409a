// The callback thread: when a chained sample's buffer stops, it starts the
// next sample of the chain at the same volume and pan.
#include "zqsound.h"

#include "chain_events.h"
#include "sound_lock.h"
#include "test_hooks.h"

using namespace zqsound;

HANDLE ZQSound::g_CallBackThread = nullptr;
std::atomic<int> ZQSound::g_nCallBackThreadActive{0};

namespace {

// Marks an entry taken by AllocSoundEvent before its sample is stored, so a
// second thread arming a chain cannot take the same entry.
SNDSample g_ClaimedEntry;

// Marks an entry whose sample was freed or cleared while armed. It goes back
// to the pool only when the callback thread has taken its event.
SNDSample g_DrainedEntry;

} // namespace

int ZQSound::setup_callback() {
    for (int i = 0; i < g_nMaxEventCount; ++i) {
        HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        g_EventList[i].hEvent = event;
        g_EventList[i].pSample = nullptr;
        g_CallBackHandles[i] = event;
    }
    g_nCallBackThreadActive = 1;
    DWORD threadId = 0;
    g_CallBackThread = CreateThread(nullptr, 0, CallBack, nullptr, 0, &threadId);
    if (!g_CallBackThread) {
        g_nCallBackThreadActive = 0;
        return 0;
    }
    return 1;
}

DWORD WINAPI ZQSound::CallBack(LPVOID unused) {
    g_nCallBackThreadActive = 1;
    DWORD result = 0;
    for (;;) {
        DWORD woken =
            WaitForMultipleObjects((DWORD)g_nMaxEventCount, g_CallBackHandles, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0) break; // the quit event
        if (woken >= WAIT_OBJECT_0 + (DWORD)g_nMaxEventCount) {
            result = 1;
            break;
        }
        ZQSOUND_HOOK(CallbackWoken);
        // The caller's thread may be freeing the samples of this chain or
        // emptying the list: the entry, the finished sample and the next one
        // are read and used under the lock, where their buffers stay put.
        SoundGuard guard;
        _SNDEvent* entry = &g_EventList[woken - WAIT_OBJECT_0];
        SNDSample* finished = entry->pSample;
        if (!finished || finished == &g_ClaimedEntry) continue;
        FreeSoundEvent(entry);
        // A drained entry may have been signalled twice; none of it may reach
        // the next sample to arm this entry.
        ResetEvent(entry->hEvent);
        if (finished == &g_DrainedEntry) continue;
        SNDSample* next = finished->pNext;
        if (next) next->PlaySample(finished->nVolume, finished->nPan);
        finished->dwFlags &= ~SND_CHAINED;
    }
    g_nCallBackThreadActive = 0;
    return result;
}

void ZQSound::close_callback() {
    if (g_CallBackThread) {
        // Woken by its quit event and joined; the thread is never killed.
        if (g_CallBackHandles && g_CallBackHandles[0]) SetEvent(g_CallBackHandles[0]);
        WaitForSingleObject(g_CallBackThread, INFINITE);
        CloseHandle(g_CallBackThread);
        g_CallBackThread = nullptr;
    }
    SoundGuard guard;
    if (!g_EventList) return;
    for (int i = 0; i < g_nMaxEventCount; ++i) {
        if (g_EventList[i].hEvent) CloseHandle(g_EventList[i].hEvent);
        g_EventList[i].hEvent = nullptr;
        g_EventList[i].pSample = nullptr;
        g_CallBackHandles[i] = nullptr;
    }
}

_SNDEvent* ZQSound::AllocSoundEvent() {
    SoundGuard guard;
    if (!g_EventList) return nullptr;
    // Entry 0 belongs to the quit event.
    int limit = g_nMaxSampleCount < g_nMaxEventCount ? g_nMaxSampleCount : g_nMaxEventCount;
    for (int i = 1; i < limit; ++i) {
        SNDSample* expected = nullptr;
        if (g_EventList[i].pSample.compare_exchange_strong(expected, &g_ClaimedEntry))
            return &g_EventList[i];
    }
    return nullptr;
}

void ZQSound::FreeSoundEvent(_SNDEvent* entry) {
    if (entry) entry->pSample = nullptr;
}

namespace zqsound {

void DrainSoundEvents(SNDSample* sample) {
    SoundGuard guard;
    if (!ZQSound::g_EventList) return;
    for (int i = 1; i < ZQSound::g_nMaxEventCount; ++i) {
        _SNDEvent& entry = ZQSound::g_EventList[i];
        SNDSample* armed = entry.pSample;
        if (!armed || armed == &g_ClaimedEntry || armed == &g_DrainedEntry) continue;
        if (sample && armed != sample) continue;
        if (!ZQSound::g_nCallBackThreadActive) {
            // No thread to take the event: the entry is free at once.
            if (entry.hEvent) ResetEvent(entry.hEvent);
            entry.pSample = nullptr;
            continue;
        }
        // Its stop may have been taken already, or may never come: one more
        // signal makes sure the thread wakes to free it.
        entry.pSample = &g_DrainedEntry;
        if (entry.hEvent) SetEvent(entry.hEvent);
    }
}

void DisarmStopNotify(SNDSample* sample) {
    SoundGuard guard;
    if (!sample->lpBuffer || !sample->notify.hEventNotify) return;
    LPDIRECTSOUNDNOTIFY notifier = nullptr;
    if (sample->lpBuffer->QueryInterface(IID_IDirectSoundNotify, (void**)&notifier) != DS_OK ||
        !notifier)
        return;
    if (notifier->SetNotificationPositions(0, nullptr) == DS_OK)
        sample->notify.hEventNotify = nullptr;
    notifier->Release();
}

} // namespace zqsound
