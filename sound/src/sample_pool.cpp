// The sound object, DirectSound set-up and the fixed pool of samples.
#include "zqsound.h"

#include <new>

#include "chain_events.h"
#include "sound_lock.h"
#include "stream_state.h"
#include "test_hooks.h"

using namespace zqsound;

ZQSound g_Sound;

int ZQSound::g_nMaxSampleCount = 0;
int ZQSound::g_nMaxEventCount = 0;
HGLOBAL ZQSound::g_MemHandle = nullptr;
HANDLE* ZQSound::g_CallBackHandles = nullptr;
_SNDEvent* ZQSound::g_EventList = nullptr;
SNDSample* ZQSound::g_SampleList = nullptr;
std::atomic<SNDSample*> ZQSound::g_pLastSample{nullptr};
SNDSample* ZQSound::g_pEndSample = nullptr;
LPDIRECTSOUND ZQSound::g_lpDSound = nullptr;
LPDIRECTSOUNDBUFFER ZQSound::g_lpSoundBuffer = nullptr;
DSCAPS ZQSound::g_DSCaps = {};

ZQSound::ZQSound() {}

ZQSound::ZQSound(HWND window, int count) {
    Init(window, count);
}

int ZQSound::Init(HWND window, int count) {
    g_FillThread = nullptr;
    g_bStreamsClosed = 0;
    m_bSFX = 1;
    m_bMusic = 1;
    m_nMusicVolume = 0x8000;
    g_nMaxSampleCount = count;

    SoundGuard guard;
    if (!AllocSampleBuffers(count)) return 0;
    LPDIRECTSOUND sound = nullptr;
    if (DirectSoundCreate(nullptr, &sound, nullptr) != DS_OK || !sound) {
        free_sample_buffers();
        return 0;
    }
    g_lpDSound = sound;
    if (g_lpDSound->SetCooperativeLevel(window, DSSCL_EXCLUSIVE) != DS_OK) {
        g_lpDSound->Release();
        g_lpDSound = nullptr;
        free_sample_buffers();
        return 0;
    }
    memset(&g_DSCaps, 0, sizeof(g_DSCaps));
    g_DSCaps.dwSize = sizeof(g_DSCaps);
    g_lpDSound->GetCaps(&g_DSCaps);
    debug_dsound_caps(&g_DSCaps);

    // Without a primary buffer there is no pool, and every sample call
    // quietly does nothing.
    if (!CreateMainBuffer()) free_sample_buffers();

    g_pOpenFile = DefaultOpenFile;
    g_pCloseFile = DefaultCloseFile;
    if (g_MemHandle) setup_callback();
    return 1;
}

void ZQSound::debug_dsound_caps(DSCAPS* caps) {}

int ZQSound::CreateMainBuffer() {
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    LPDIRECTSOUNDBUFFER primary = nullptr;
    if (g_lpDSound->CreateSoundBuffer(&desc, &primary, nullptr) != DS_OK || !primary) {
        g_lpSoundBuffer = nullptr;
        return 0;
    }
    g_lpSoundBuffer = primary;

    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = (g_DSCaps.dwFlags & DSCAPS_PRIMARYSTEREO) ? 2 : 1;
    format.nSamplesPerSec = 22050;
    format.wBitsPerSample = (g_DSCaps.dwFlags & DSCAPS_PRIMARY16BIT) ? 16 : 8;
    format.nBlockAlign = (WORD)(format.nChannels * format.wBitsPerSample / 8);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    g_lpSoundBuffer->SetFormat(&format);

    DSBCAPS caps = {};
    caps.dwSize = sizeof(caps);
    if (g_lpSoundBuffer->GetCaps(&caps) == DS_OK) {
        WAVEFORMATEX actual = {};
        DWORD written = 0;
        g_lpSoundBuffer->GetFormat(&actual, sizeof(actual), &written);
    }
    // A primary buffer that plays keeps the mixer running between sounds.
    if (g_lpSoundBuffer->Play(0, 0, DSBPLAY_LOOPING) != DS_OK) {
        g_lpSoundBuffer->Release();
        g_lpSoundBuffer = nullptr;
        return 0;
    }
    return 1;
}

int ZQSound::AllocSampleBuffers(int count) {
    free_sample_buffers();
    return alloc_sample_buffers(count);
}

int ZQSound::alloc_sample_buffers(int count) {
    if (count < 0) return 0;
    g_nMaxEventCount = count + 1 < MAXIMUM_WAIT_OBJECTS ? count + 1 : MAXIMUM_WAIT_OBJECTS;
    SIZE_T bytes = g_nMaxEventCount * sizeof(HANDLE) + g_nMaxEventCount * sizeof(_SNDEvent) +
                   (SIZE_T)count * sizeof(SNDSample);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!block) return 0;
    BYTE* base = (BYTE*)GlobalLock(block);
    if (!base) {
        GlobalFree(block);
        return 0;
    }
    g_MemHandle = block;
    g_CallBackHandles = (HANDLE*)base;
    g_EventList = (_SNDEvent*)(base + g_nMaxEventCount * sizeof(HANDLE));
    g_SampleList = (SNDSample*)(base + g_nMaxEventCount * (sizeof(HANDLE) + sizeof(_SNDEvent)));
    for (int i = 0; i < g_nMaxEventCount; ++i)
        new (&g_EventList[i]) _SNDEvent();
    for (int i = 0; i < count; ++i)
        new (&g_SampleList[i]) SNDSample();
    g_pLastSample = g_SampleList;
    g_pEndSample = g_SampleList + count;
    return 1;
}

int ZQSound::free_sample_buffers() {
    if (!g_MemHandle) return 1;
    GlobalUnlock(g_MemHandle);
    if (GlobalFree(g_MemHandle) != nullptr) return 0;
    g_MemHandle = nullptr;
    g_CallBackHandles = nullptr;
    g_EventList = nullptr;
    g_SampleList = nullptr;
    g_pLastSample = nullptr;
    g_pEndSample = nullptr;
    return 1;
}

void ZQSound::Exit() {
    // Stops the stream (whatever the music switch says, as nothing may play
    // on after Exit) and ends every fill thread.
    discard_stream();
    close_callback();
    SoundGuard guard;
    if (g_SampleList) {
        for (SNDSample* sample = g_SampleList; sample < g_pLastSample; ++sample)
            if (sample->dwFlags & SND_INUSE) FreeSample(sample);
    }
    free_sample_buffers();
    if (g_lpSoundBuffer) {
        g_lpSoundBuffer->Stop();
        g_lpSoundBuffer->Release();
        g_lpSoundBuffer = nullptr;
    }
    if (g_lpDSound) {
        g_lpDSound->Release();
        g_lpDSound = nullptr;
    }
}

// The fill thread takes slots (a next piece loaded by pfnNext) and gives them
// back (a piece's natural end) while the caller's thread loads, duplicates
// and frees: the test of a slot's bit and its setting, and the range, are one
// step under the lock.
SNDSample* ZQSound::AllocSample() {
    SoundGuard guard;
    if (!g_SampleList) return nullptr;
    for (SNDSample* sample = g_SampleList; sample < g_pEndSample; ++sample) {
        if (!(sample->dwFlags & SND_INUSE)) {
            ZQSOUND_HOOK(AllocSampleFound);
            sample->dwFlags |= SND_INUSE;
            if (sample >= g_pLastSample) g_pLastSample = sample + 1;
            return sample;
        }
    }
    return nullptr;
}

void ZQSound::ClearSample(SNDSample* sample) {
    if (!sample) return;
    SoundGuard guard;
    sample->Reset();
    // Only a slot of the pool has slots after it, or chains leading to it.
    if (!g_SampleList || sample < g_SampleList || sample >= g_pEndSample) return;
    // A stop already signalled for it must not start its old chain, and a
    // chain leading to it ends before it: whatever takes the slot next is not
    // theirs to start.
    DrainSoundEvents(sample);
    for (SNDSample* other = g_SampleList; other < g_pEndSample; ++other)
        if (other->pNext == sample) other->pNext = nullptr;
    // Searches stop at g_pLastSample, so it must stay past every slot in use.
    SNDSample* last = g_pLastSample;
    for (ptrdiff_t i = last - sample - 1; i > 0; --i) {
        if (sample[i].dwFlags & SND_INUSE) {
            ZQSOUND_HOOK(ClearSampleRange);
            g_pLastSample = sample + i + 1;
            return;
        }
    }
}

void ZQSound::ClearSampleList() {
    SoundGuard guard;
    if (!g_SampleList) return;
    // Stopping a chained sample below wakes the callback thread; it finds its
    // entry handed back instead of a chain to start.
    DrainSoundEvents(nullptr);
    // The music's slot belongs to the stream until its fill thread lets it
    // go: emptying the list leaves it, and the range stays past it.
    SNDSample* music = g_StreamInfo.pSample;
    // A sample still sounding when the list is emptied would otherwise keep
    // its buffer for the rest of the run.
    for (SNDSample* sample = g_SampleList; sample < g_pEndSample; ++sample) {
        if (sample == music) continue;
        if (sample->lpBuffer) {
            sample->lpBuffer->Stop();
            ZQSOUND_HOOK(ClearListStopped);
            sample->lpBuffer->Release();
        }
        sample->Reset();
    }
    g_pLastSample = music ? music + 1 : g_SampleList;
}

int ZQSound::LoadSample(char* fileName, unsigned long id) {
    SoundGuard guard;
    // Already loaded: that sample stays reserved, as FindSample leaves it.
    if (FindSample(id)) return 1;
    SNDSample* sample = AllocSample();
    if (!sample) return 0;
    if (!sample->LoadSample(fileName, id)) {
        ClearSample(sample);
        return 0;
    }
    return 1;
}

SNDSample* ZQSound::FindSample(unsigned long id) {
    SoundGuard guard;
    if (!g_SampleList) return nullptr;
    SNDSample* taken = nullptr;
    SNDSample* source = nullptr;
    for (SNDSample* sample = g_SampleList; sample < g_pLastSample; ++sample) {
        DWORD flags = sample->dwFlags;
        if (!(flags & SND_INUSE)) continue;
        if (sample->dwID == (DWORD)id) {
            if (!(flags & SND_RESERVED) && !sample->SamplePlaying()) {
                taken = sample;
                break;
            }
            if (!source && !(flags & SND_DUPLICATE)) source = sample;
        } else if ((flags & SND_DUPLICATE) && !(flags & SND_RESERVED) && !sample->SamplePlaying()) {
            // Idle duplicates of any sound go back to the pool on the way.
            FreeSample(sample);
        }
    }
    if (!taken && source) taken = source->DupeSample();
    if (taken) taken->dwFlags |= SND_RESERVED;
    return taken;
}

#ifndef ZQSOUND_LAUNCHER_BUILD
SNDSample* ZQSound::FindSampleID(unsigned long id) {
    SoundGuard guard;
    if (!g_SampleList) return nullptr;
    // The first slot in use with the ID, whatever it is (the loaded sample,
    // one reserved by FindSample, a duplicate in a lower slot); unlike
    // FindSample it reserves and duplicates nothing. Kept as designed.
    for (SNDSample* sample = g_SampleList; sample < g_pLastSample; ++sample)
        if ((sample->dwFlags & SND_INUSE) && sample->dwID == (DWORD)id) return sample;
    return nullptr;
}

SNDSample* ZQSound::StopSample(long id) {
    SoundGuard guard;
    SNDSample* sample = FindSampleID((unsigned long)id);
    if (sample) sample->StopSample();
    return sample;
}

SNDSample* ZQSound::PauseSample(long id) {
    SoundGuard guard;
    SNDSample* sample = FindSampleID((unsigned long)id);
    if (sample) sample->PauseSample();
    return sample;
}
#endif

SNDSample* ZQSound::PlaySample(long id, long volume, long pan) {
    SoundGuard guard;
    SNDSample* sample = FindSample((unsigned long)id);
    if (sample) sample->PlaySample(volume, pan);
    return sample;
}

int ZQSound::PlaySampleIDOnce(long id, long volume, long pan) {
    // Effects are switched on the program's one sound object.
    if (!g_Sound.m_bSFX) return 1;
    SoundGuard guard;
    SNDSample* sample = FindSample((unsigned long)id);
    if (!sample) return 0;
    if (!sample->lpBuffer || sample->SamplePlaying()) return 0;
    sample->SetPan(pan);
    sample->SetVolume(volume);
    DisarmStopNotify(sample);
    sample->dwFlags &= ~SND_RESERVED;
    DWORD play = (sample->dwFlags & SND_LOOPED) ? DSBPLAY_LOOPING : 0;
    return sample->lpBuffer->Play(0, 0, play) == DS_OK;
}

void ZQSound::FreeSample(unsigned long id) {
    SoundGuard guard;
    SNDSample* sample = FindSample(id);
    if (sample) FreeSample(sample);
}

void ZQSound::FreeSample(SNDSample* sample) {
    if (!sample) return;
    SoundGuard guard;
    // The music's slot is the stream's to give back (StopStream).
    if (!sample->lpBuffer || sample == g_StreamInfo.pSample) return;
    if (sample->SamplePlaying()) sample->lpBuffer->Stop();
    sample->lpBuffer->Release();
    sample->lpBuffer = nullptr;
    ClearSample(sample);
}

void ZQSound::FlushSamples() {
    SoundGuard guard;
    if (!g_SampleList) return;
    for (SNDSample* sample = g_SampleList; sample < g_pEndSample; ++sample) {
        DWORD flags = sample->dwFlags;
        if ((flags & SND_INUSE) && !(flags & SND_RESERVED) && (flags & SND_DUPLICATE) &&
            !sample->SamplePlaying())
            FreeSample(sample);
    }
}

void ZQSound::MemCleanup() {
    if (g_lpDSound) g_lpDSound->Compact();
}

void ZQSound::EnableSFX(int on) {
    m_bSFX = on;
}

void ZQSound::EnableMusic(int on) {
    // Off before the stop: a next piece that pfnNext loads while the stream
    // is torn down is refused, as any load with music off, instead of
    // playing on with music switched off.
    if (!on && m_bMusic.exchange(0)) StopPlayingStream();
    m_bMusic = on;
}

LPDIRECTSOUND ZQSound::GetDSObject() {
    return g_lpDSound;
}

LPDIRECTSOUNDBUFFER ZQSound::GetDSPrimaryBuffer() {
    return g_lpSoundBuffer;
}
