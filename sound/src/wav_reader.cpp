// Reading PCM WAV files into sample buffers. Every size in the file is checked
// against what the file really holds: a chunk running past the end, a short
// "fmt " chunk or a zero channel count or sample size is refused, and a "data"
// chunk larger than the file is cut to the whole frames present.
#include "zqsound.h"

#include "riff_file.h"
#include "sound_lock.h"

using namespace zqsound;

namespace {

const DWORD kRiff = SNDFourCC('R', 'I', 'F', 'F');
const DWORD kWave = SNDFourCC('W', 'A', 'V', 'E');
const DWORD kFmt = SNDFourCC('f', 'm', 't', ' ');
const DWORD kSmpl = SNDFourCC('s', 'm', 'p', 'l');
const DWORD kData = SNDFourCC('d', 'a', 't', 'a');

// Chunks are searched from just after "RIFF", size and "WAVE".
const DWORD kFirstChunk = 12;

WORD Word(const BYTE* p) {
    return (WORD)(p[0] | (p[1] << 8));
}
DWORD Dword(const BYTE* p) {
    return (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24);
}

// Loop points are scaled by a shift of the bytes per sample; kept as designed.
DWORD ScaleLoopPoint(DWORD value, DWORD bitsPerSample) {
    DWORD shift = bitsPerSample / 8;
    return shift < 32 ? value << shift : 0;
}

} // namespace

int SNDSample::FindRiffChunk(HANDLE file, DWORD id, _ChunkHeader* header, DWORD offset) {
    uint64_t size = FileSize(file);
    uint64_t position = offset;
    while (position < size) {
        if (!SeekTo(file, position)) return 0;
        BYTE raw[8];
        if (!ReadExact(file, raw, sizeof(raw))) return 0;
        header->dwID = Dword(raw);
        header->dwSize = Dword(raw + 4);
        if (header->dwID == id) return 1;
        // RIFF pads odd-sized chunks with one byte.
        position += 8 + (uint64_t)header->dwSize + (header->dwSize & 1);
    }
    return 0;
}

int SNDSample::IsWavFile(HANDLE file) {
    BYTE riff[12];
    if (!SeekTo(file, 0) || !ReadExact(file, riff, sizeof(riff))) return 0;
    if (Dword(riff) != kRiff || Dword(riff + 8) != kWave) return 0;

    _ChunkHeader header;
    if (!FindRiffChunk(file, kFmt, &header, kFirstChunk) || header.dwSize < 16) return 0;
    BYTE format[16];
    if (!ReadExact(file, format, sizeof(format))) return 0;
    if (Word(format) != WAVE_FORMAT_PCM) return 0;
    DWORD channels = Word(format + 2);
    DWORD rate = Dword(format + 4);
    DWORD bits = Word(format + 14);
    if (channels == 0 || rate == 0 || bits == 0) return 0;
    dwChannels = channels;
    dwSampleRate = rate;
    dwBitsPerSample = bits;
    dwFlags |= SND_FORMAT;

    if (FindRiffChunk(file, kSmpl, &header, kFirstChunk) && header.dwSize >= 36) {
        BYTE sampler[36];
        if (ReadExact(file, sampler, sizeof(sampler)) && Dword(sampler + 28) != 0 &&
            header.dwSize >= 36 + 24) {
            BYTE loop[24];
            if (ReadExact(file, loop, sizeof(loop))) {
                dwLoopStart = ScaleLoopPoint(Dword(loop + 8), bits);
                dwLoopEnd = ScaleLoopPoint(Dword(loop + 12), bits);
                dwFlags |= SND_LOOPED;
            }
        }
    }

    if (!FindRiffChunk(file, kData, &header, kFirstChunk)) return 0;
    uint64_t start = TellPosition(file);
    uint64_t end = FileSize(file);
    if (start == UINT64_MAX || start > end) return 0;
    uint64_t bytes = header.dwSize;
    if (bytes > end - start) {
        // A file cut short keeps the whole frames it still holds.
        bytes = end - start;
        DWORD frame = channels * bits / 8;
        if (frame > 1) bytes -= bytes % frame;
    }
    if (bytes == 0) return 0;
    dwDataSize = (DWORD)bytes;
    return 1;
}

HANDLE SNDSample::OpenSoundFile(char* fileName) {
    HANDLE file = ZQSound::g_pOpenFile(fileName);
    if (file == INVALID_HANDLE_VALUE || file == nullptr) return INVALID_HANDLE_VALUE;
    if (!IsWavFile(file)) {
        ZQSound::g_pCloseFile(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

int SNDSample::AllocDSBuffer(DWORD bytes) {
    SoundGuard guard;
    if (!ZQSound::g_lpDSound) return 0;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = (WORD)dwChannels;
    format.nSamplesPerSec = dwSampleRate;
    format.wBitsPerSample = (WORD)dwBitsPerSample;
    format.nBlockAlign = (WORD)(dwChannels * dwBitsPerSample / 8);
    format.nAvgBytesPerSec = dwSampleRate * format.nBlockAlign;
    format.cbSize = 0;

    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY;
    desc.dwBufferBytes = bytes ? bytes : dwDataSize;
    desc.lpwfxFormat = &format;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    if (ZQSound::g_lpDSound->CreateSoundBuffer(&desc, &buffer, nullptr) != DS_OK || !buffer)
        return 0;
    lpBuffer = buffer;
    return 1;
}

int SNDSample::LoadSample(char* fileName, unsigned long id) {
    // The buffer appears in the slot under the lock, as every buffer does.
    SoundGuard guard;
    HANDLE file = OpenSoundFile(fileName);
    if (file == INVALID_HANDLE_VALUE) return 0;
    int loaded = AllocDSBuffer(0);
    if (loaded) {
        LPVOID first = nullptr, second = nullptr;
        DWORD firstBytes = 0, secondBytes = 0;
        loaded =
            lpBuffer->Lock(0, dwDataSize, &first, &firstBytes, &second, &secondBytes, 0) == DS_OK;
        if (loaded) {
            loaded = firstBytes + secondBytes == dwDataSize && ReadExact(file, first, firstBytes) &&
                     (!second || ReadExact(file, second, secondBytes));
            lpBuffer->Unlock(first, firstBytes, second, secondBytes);
        }
        if (!loaded) {
            lpBuffer->Release();
            lpBuffer = nullptr;
        }
    }
    if (loaded && (DWORD)id != 0xFFFFFFFF) dwID = (DWORD)id;
    ZQSound::g_pCloseFile(file);
    return loaded;
}
