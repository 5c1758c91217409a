// ZQSound: a fixed pool of DirectSound samples played by numeric ID, and one
// WAV music track streamed from its file.
//
// Two revisions build from the same sources: the game's, and the launcher's
// older one (ZQSOUND_LAUNCHER_BUILD), which has no FindSampleID, no ID forms
// of StopSample and PauseSample, and whose SNDSample::StopSample does not
// rewind.
#pragma once

#include <atomic>

#include <windows.h>
#include <dsound.h>

#include "snd_sample.h"

// dwFlags of the stream.
#define STREAM_LOADED 0x00000001
#define STREAM_PLAYING 0x00000002
#define STREAM_LOOP 0x00000004 // loop the file (PlayStream's argument)
#define STREAM_PAUSED 0x00000008
#define STREAM_FILLING 0x00000010 // fill thread running
#define STREAM_PRIMED 0x80000000  // first segment notification since loading arrived

#define STREAM_SEGMENTS 8
#define STREAM_STOP_EVENT 8

typedef void (*ZQStreamNextFunc)(unsigned long id);

// An event entry for chaining: its auto-reset event and the sample whose end
// it reports (null while the entry is free).
struct _SNDEvent {
    HANDLE hEvent;
    std::atomic<SNDSample*> pSample;
};

// The one music stream.
struct _SNDStream {
    std::atomic<DWORD> dwFlags{0};
    HANDLE hFile = nullptr;
    DWORD dwDataStart = 0;
    DWORD dwSegmentBytes = 0;
    DWORD dwBufferBytes = 0;
    std::atomic<DWORD> dwBytesLeft{0};
    std::atomic<SNDSample*> pSample{nullptr};
    std::atomic<ZQStreamNextFunc> pfnNext{nullptr};
};

class ZQSound {
public:
    ZQSound();
    ZQSound(HWND window, int count);

    int Init(HWND window, int count);
    void Exit();

    // Samples
    int LoadSample(char* fileName, unsigned long id);
    SNDSample* FindSample(unsigned long id);
#ifndef ZQSOUND_LAUNCHER_BUILD
    SNDSample* FindSampleID(unsigned long id);
#endif
    SNDSample* PlaySample(long id, long volume, long pan);
    int PlaySampleIDOnce(long id, long volume, long pan);
#ifndef ZQSOUND_LAUNCHER_BUILD
    SNDSample* StopSample(long id);
    SNDSample* PauseSample(long id);
#endif
    void FreeSample(unsigned long id);
    void FreeSample(SNDSample* sample);
    void FlushSamples();
    void MemCleanup();
    void EnableSFX(int on);
    void EnableMusic(int on);
    int GetLIBVersion();
    const char* GetLIBDate();

    static SNDSample* AllocSample();
    static void ClearSample(SNDSample* sample);
    static void ClearSampleList();
    static _SNDEvent* AllocSoundEvent();
    static void FreeSoundEvent(_SNDEvent* entry);
    static int MapVolume(int volume);
    static int MapPan(int pan);
    static void SetFileOpenFunc(ZQOpenFileFunc func);
    static void SetFileCloseFunc(ZQCloseFileFunc func);
    static LPDIRECTSOUND GetDSObject();
    static LPDIRECTSOUNDBUFFER GetDSPrimaryBuffer();

    // Music
    int LoadStream(char* fileName, unsigned long id);
    int PlayStream(int flags);
    int StopStream();
    int PauseStream();
    static int CleanupStream();
    static void SetStreamVolume(int volume);
    static int GetStreamVolume();
    static DWORD GetStreamID();
    static _SNDStream* GetStreamInfoPtr();
    ZQStreamNextFunc SetStreamNextFunc(ZQStreamNextFunc func);
    ZQStreamNextFunc GetStreamNextFunc();
    static void ClearStreamNextStreamFunc();
    void FadeMusic(int from, int to, unsigned long milliseconds);
    void FadeMusicIn(unsigned long milliseconds);
    void FadeMusicOut(unsigned long milliseconds);
    static DWORD WINAPI FillStream(LPVOID unused);
    int init_stream_buffer();

    // Read by the library's threads as well as the caller's.
    std::atomic<int> m_nMusicVolume{0};
    std::atomic<int> m_bMusic{0};
    std::atomic<int> m_bSFX{0};

    // The pool: one global block holding the handle, event and sample arrays.
    // Changed only under the library's lock (sound/src/sound_lock.h).
    static int g_nMaxSampleCount;
    static int g_nMaxEventCount;
    static HGLOBAL g_MemHandle;
    static HANDLE* g_CallBackHandles;
    static _SNDEvent* g_EventList;
    static SNDSample* g_SampleList;
    static std::atomic<SNDSample*> g_pLastSample;
    static SNDSample* g_pEndSample;
    static LPDIRECTSOUND g_lpDSound;
    static LPDIRECTSOUNDBUFFER g_lpSoundBuffer;
    static DSCAPS g_DSCaps;
    static short g_VolumeTable[16384];
    static ZQOpenFileFunc g_pOpenFile;
    static ZQCloseFileFunc g_pCloseFile;
    static HANDLE g_CallBackThread;
    static std::atomic<int> g_nCallBackThreadActive;

    // The stream.
    static _SNDStream g_StreamInfo;
    static HANDLE g_NotifyEvents[STREAM_SEGMENTS + 1];
    static DSBPOSITIONNOTIFY g_StreamPositions[STREAM_SEGMENTS + 1];
    static LPDIRECTSOUNDNOTIFY g_lpStreamNotify;
    static std::atomic<HANDLE> g_FillThread;
    static std::atomic<DWORD> g_FillThreadID;

    static HANDLE DefaultOpenFile(char* fileName);
    static int DefaultCloseFile(HANDLE file);

private:
    static int AllocSampleBuffers(int count);
    static int alloc_sample_buffers(int count);
    static int free_sample_buffers();
    static int CreateMainBuffer();
    static void debug_dsound_caps(DSCAPS* caps);
    static int setup_callback();
    static void close_callback();
    static DWORD WINAPI CallBack(LPVOID unused);
    static void discard_stream();
    int open_stream(char* fileName, unsigned long id);
};

// The program's one sound object.
extern ZQSound g_Sound;
