// Listening to the layer's mixer in tests.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Mixes `frames` frames at the device's rate at once, on the caller's thread,
// exactly as the device would take them (cursors move, notifications fire, a
// capture file records them). Hold the clock first (LudoraHoldClock) so the
// mixer's own thread adds nothing in between. When `stereo16` is not null it
// receives the frames as interleaved 16-bit stereo. Returns the frames mixed:
// 0 while no DirectSound object or MCI device holds the device open.
uint32_t LudoraPumpAudio(uint32_t frames, int16_t* stereo16);

// The device's format: the primary buffer's once set, else 44100 Hz, 16-bit stereo.
void LudoraAudioFormat(uint32_t* samples_per_second, uint16_t* channels, uint16_t* bits);

// Frames mixed since the layer started, by the device and by LudoraPumpAudio.
uint64_t LudoraAudioFramesMixed(void);

// Writes everything mixed from now on to a WAV file at `path` (as
// LUDORA_AUDIO_OUT does from the start). Returns 1, or 0 when the file cannot
// be created.
int LudoraStartAudioCapture(const char* path);
// Completes the capture file's header and closes it.
void LudoraStopAudioCapture(void);

#ifdef __cplusplus
}
#endif
