#include "stream_reader.h"

#include <string.h>

#include "riff_file.h"
#include "sound_lock.h"
#include "stream_state.h"
#include "test_hooks.h"

namespace zqsound {

DWORD ReadStreamData(BYTE* dst, DWORD bytes, int loop) {
    _SNDStream& stream = ZQSound::g_StreamInfo;
    SNDSample* sample = stream.pSample;
    if (!sample || !dst || sample->dwDataSize == 0) return 0;
    DWORD done = 0;
    while (done < bytes) {
        DWORD left = stream.dwBytesLeft;
        if (left == 0) {
            if (!loop) {
                memset(dst + done, sample->dwBitsPerSample == 8 ? 0x80 : 0, bytes - done);
                stream.dwBytesLeft = 0; // published after the silence
                return bytes;
            }
            if (!SeekTo(stream.hFile, stream.dwDataStart)) return done;
            stream.dwBytesLeft = sample->dwDataSize;
            continue;
        }
        DWORD want = bytes - done < left ? bytes - done : left;
        DWORD got = 0;
        if (!ReadFile(stream.hFile, dst + done, want, &got, nullptr)) got = 0;
        done += got;
        if (got < want) {
            // The file ended before its data chunk said: the data ends here.
            stream.dwBytesLeft = 0;
            return done;
        }
        stream.dwBytesLeft = left - got;
    }
    return done;
}

DWORD ReleaseStream() {
    SoundGuard guard;
    _SNDStream& stream = ZQSound::g_StreamInfo;
    ZQSOUND_HOOK(StreamReleasing);
    SNDSample* sample = stream.pSample;
    for (int i = 0; i <= STREAM_SEGMENTS; ++i) {
        if (ZQSound::g_NotifyEvents[i]) CloseHandle(ZQSound::g_NotifyEvents[i]);
        ZQSound::g_NotifyEvents[i] = nullptr;
        ZQSound::g_StreamPositions[i].hEventNotify = nullptr;
    }
    if (ZQSound::g_lpStreamNotify) {
        ZQSound::g_lpStreamNotify->Release();
        ZQSound::g_lpStreamNotify = nullptr;
    }
    DWORD id = 0;
    if (sample) {
        if (sample->lpBuffer) {
            sample->lpBuffer->Release();
            sample->lpBuffer = nullptr;
        }
        id = sample->dwID;
        ZQSound::ClearSample(sample);
    }
    if (stream.hFile) CloseHandle(stream.hFile);
    stream.hFile = nullptr;
    stream.dwFlags &=
        ~(STREAM_LOADED | STREAM_PLAYING | STREAM_LOOP | STREAM_PAUSED | STREAM_PRIMED);
    stream.dwBytesLeft = 0;
    stream.dwBufferBytes = 0;
    stream.dwSegmentBytes = 0;
    // Last: a caller that sees no stream sample finds everything released.
    stream.pSample = nullptr;
    g_nStreamReleased = g_nStreamSerial.load();
    ZQSOUND_HOOK(StreamReleased);
    return id;
}

} // namespace zqsound
