// Playing, stopping and pausing one sample, its levels, duplicates and chains.
#include "zqsound.h"

#include "chain_events.h"
#include "sound_lock.h"
#include "test_hooks.h"

using namespace zqsound;

namespace {

// The library's scales fit an int; wider values are pinned just outside them.
int Level(long value) {
    if (value > 0x7FFFFFFF) return 0x7FFFFFFF;
    if (value < -0x7FFFFFFF) return -0x7FFFFFFF;
    return (int)value;
}

} // namespace

SNDSample& SNDSample::operator=(const SNDSample& other) {
    if (this == &other) return *this;
    dwFlags = other.dwFlags.load();
    dwID = other.dwID;
    dwDataSize = other.dwDataSize;
    dwSampleRate = other.dwSampleRate;
    dwBitsPerSample = other.dwBitsPerSample;
    dwChannels = other.dwChannels;
    dwPausePos = other.dwPausePos;
    nVolume = other.nVolume.load();
    nPan = other.nPan.load();
    nPitch = other.nPitch;
    dwLoopStart = other.dwLoopStart;
    dwLoopEnd = other.dwLoopEnd;
    lpBuffer = other.lpBuffer;
    notify = other.notify;
    pNext = other.pNext.load();
    return *this;
}

void SNDSample::Reset() {
    dwID = 0;
    dwDataSize = 0;
    dwSampleRate = 0;
    dwBitsPerSample = 0;
    dwChannels = 0;
    dwPausePos = 0;
    nVolume = 0;
    nPan = 0;
    nPitch = 0;
    dwLoopStart = 0;
    dwLoopEnd = 0;
    lpBuffer = nullptr;
    pNext = nullptr;
    // The flags go last: a slot reads as free only once it is clean.
    dwFlags = 0;
}

// Every use of a sample's buffer is under the library's lock: the callback
// thread starts chained samples, and the fill thread gives back the stream's
// slot, while the caller's thread frees and empties the list.
int SNDSample::PlaySample(long volume, long pan) {
    SoundGuard guard;
    if (!g_Sound.m_bSFX) {
        // Effects off: nothing sounds, and the reservation is handed back so
        // silent plays do not fill the pool with reserved duplicates.
        dwFlags &= ~SND_RESERVED;
        return 1;
    }
    if (!lpBuffer) return 0;
    ZQSOUND_HOOK(SamplePlayChecked);
    SetPan(pan);
    SetVolume(volume);

    int armed = 0;
    if (pNext) {
        _SNDEvent* entry = ZQSound::AllocSoundEvent();
        if (entry) {
            LPDIRECTSOUNDNOTIFY notifier = nullptr;
            if (lpBuffer->QueryInterface(IID_IDirectSoundNotify, (void**)&notifier) == DS_OK &&
                notifier) {
                entry->pSample = this;
                notify.dwOffset = DSBPN_OFFSETSTOP;
                notify.hEventNotify = entry->hEvent;
                dwFlags |= SND_CHAINED;
                armed = notifier->SetNotificationPositions(1, &notify) == DS_OK;
                notifier->Release();
            }
            if (!armed) {
                // Plays without chaining; the entry goes back to the pool.
                dwFlags &= ~SND_CHAINED;
                ZQSound::FreeSoundEvent(entry);
            }
        }
    }
    if (!armed) DisarmStopNotify(this);

    dwFlags &= ~SND_RESERVED;
    DWORD play = (dwFlags & SND_LOOPED) ? DSBPLAY_LOOPING : 0;
    return lpBuffer->Play(0, 0, play) == DS_OK;
}

int SNDSample::StopSample() {
    SoundGuard guard;
    if (!lpBuffer) return 0;
    if (lpBuffer->Stop() != DS_OK) return 0;
#ifndef ZQSOUND_LAUNCHER_BUILD
    lpBuffer->SetCurrentPosition(0);
#endif
    return 1;
}

int SNDSample::PauseSample() {
    SoundGuard guard;
    if (!lpBuffer) return 0;
    DWORD play = 0, write = 0;
    if (lpBuffer->Stop() != DS_OK || lpBuffer->GetCurrentPosition(&play, &write) != DS_OK) return 0;
    dwPausePos = play;
    dwFlags |= SND_PAUSED;
    return 1;
}

int SNDSample::UnPauseSample() {
    SoundGuard guard;
    if (!lpBuffer || !(dwFlags & SND_PAUSED)) return 0;
    lpBuffer->SetCurrentPosition(dwPausePos);
    dwFlags &= ~SND_PAUSED;
    DWORD play = (dwFlags & SND_LOOPED) ? DSBPLAY_LOOPING : 0;
    return lpBuffer->Play(0, 0, play) == DS_OK;
}

DWORD SNDSample::GetSampleStatus() {
    SoundGuard guard;
    DWORD status = 0;
    if (!lpBuffer || lpBuffer->GetStatus(&status) != DS_OK) return (DWORD)E_INVALIDARG;
    return status;
}

int SNDSample::SamplePlaying() {
    DWORD status = GetSampleStatus();
    return status != (DWORD)E_INVALIDARG && (status & DSBSTATUS_PLAYING);
}

int SNDSample::SetVolume(long volume) {
    SoundGuard guard;
    if (!lpBuffer) return 0;
    ZQSOUND_HOOK(SetVolumeChecked);
    nVolume = Level(volume);
    return lpBuffer->SetVolume(ZQSound::MapVolume(nVolume)) == DS_OK;
}

int SNDSample::SetPan(long pan) {
    SoundGuard guard;
    if (!lpBuffer) return 0;
    nPan = Level(pan);
    return lpBuffer->SetPan(ZQSound::MapPan(nPan)) == DS_OK;
}

int SNDSample::SetPitch(long hz) {
    SoundGuard guard;
    if (!lpBuffer) return 0;
    nPitch = Level(hz);
    return lpBuffer->SetFrequency((DWORD)nPitch) == DS_OK;
}

SNDSample* SNDSample::DupeSample() {
    SoundGuard guard;
    if (!lpBuffer || !ZQSound::g_lpDSound) return nullptr;
    SNDSample* copy = ZQSound::AllocSample();
    if (!copy) return nullptr;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    if (ZQSound::g_lpDSound->DuplicateSoundBuffer(lpBuffer, &buffer) != DS_OK || !buffer) {
        ZQSound::ClearSample(copy);
        return nullptr;
    }
    copy->lpBuffer = buffer;
    copy->dwID = dwID;
    copy->dwDataSize = dwDataSize;
    copy->dwSampleRate = dwSampleRate;
    copy->dwBitsPerSample = dwBitsPerSample;
    copy->dwChannels = dwChannels;
    copy->pNext = nullptr;
    copy->dwFlags |= SND_DUPLICATE;
    // The loop points travel, the loop flag does not: a duplicate plays once.
    if (dwFlags & SND_LOOPED) {
        copy->dwLoopStart = dwLoopStart;
        copy->dwLoopEnd = dwLoopEnd;
    }
    return copy;
}

SNDSample* SNDSample::ChainSample(SNDSample* first, SNDSample* second) {
    if (!first || !second) return second;
    SoundGuard guard;
    // A chain never holds more samples than the pool; stop there if it loops.
    SNDSample* last = first;
    for (int steps = 0; last->pNext && steps <= ZQSound::g_nMaxSampleCount; ++steps)
        last = last->pNext;
    last->pNext = second;
    return first;
}
