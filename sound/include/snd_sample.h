// One sound of ZQSound: a PCM WAV file held in a DirectSound secondary buffer.
#pragma once

#include <atomic>

#include <windows.h>
#include <dsound.h>

// dwFlags of a sample.
#define SND_INUSE 0x00000001     // slot in use
#define SND_RESERVED 0x00000002  // handed out by FindSample, not played yet
#define SND_DUPLICATE 0x00000004 // made by DupeSample
#define SND_LOOPED 0x00000008    // the file had a sample loop: plays looping
#define SND_FORMAT 0x00000010    // "fmt " chunk read
#define SND_PAUSED 0x00000100    // stopped by PauseSample
#define SND_CHAINED 0x00000400   // end notification armed for pNext

// The file hooks: an open hook answers a handle that ReadFile and
// SetFilePointer accept, or INVALID_HANDLE_VALUE.
typedef HANDLE (*ZQOpenFileFunc)(char* fileName);
typedef int (*ZQCloseFileFunc)(HANDLE file);

// A RIFF chunk header.
struct _ChunkHeader {
    DWORD dwID;   // four-character code, little-endian
    DWORD dwSize; // bytes of chunk data, without the pad byte of an odd size
};

// The four-character code of a RIFF chunk.
constexpr DWORD SNDFourCC(char a, char b, char c, char d) {
    return (DWORD)(BYTE)a | ((DWORD)(BYTE)b << 8) | ((DWORD)(BYTE)c << 16) | ((DWORD)(BYTE)d << 24);
}

class SNDSample {
public:
    SNDSample() = default;
    SNDSample(const SNDSample& other) { *this = other; }
    SNDSample& operator=(const SNDSample& other);

    int LoadSample(char* fileName, unsigned long id);
    HANDLE OpenSoundFile(char* fileName);
    int IsWavFile(HANDLE file);
    static int FindRiffChunk(HANDLE file, DWORD id, _ChunkHeader* header, DWORD offset);
    int AllocDSBuffer(DWORD bytes);

    int PlaySample(long volume, long pan);
    int StopSample();
    int PauseSample();
    int UnPauseSample();
    int SamplePlaying();
    DWORD GetSampleStatus();
    int SetVolume(long volume);
    int SetPan(long pan);
    int SetPitch(long hz);
    SNDSample* DupeSample();
    static SNDSample* ChainSample(SNDSample* first, SNDSample* second);
    void Reset();

    // Shared with the callback thread: flags, levels and the chain.
    std::atomic<DWORD> dwFlags{0};
    DWORD dwID = 0;
    DWORD dwDataSize = 0;
    DWORD dwSampleRate = 0;
    DWORD dwBitsPerSample = 0;
    DWORD dwChannels = 0;
    DWORD dwPausePos = 0;
    std::atomic<int> nVolume{0};
    std::atomic<int> nPan{0};
    int nPitch = 0;
    DWORD dwLoopStart = 0;
    DWORD dwLoopEnd = 0;
    LPDIRECTSOUNDBUFFER lpBuffer = nullptr;
    DSBPOSITIONNOTIFY notify = {0, nullptr};
    std::atomic<SNDSample*> pNext{nullptr};
};
