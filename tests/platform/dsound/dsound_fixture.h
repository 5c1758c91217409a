// A DirectSound object on a held clock, with helpers to make and hear buffers.
#pragma once

#include "tests/support/audio_measure.h"

#include <windows.h>
#include <dsound.h>
#include <ludora/harness.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace dsound_test {

WAVEFORMATEX pcm_format(DWORD rate, WORD channels, WORD bits);

// A DirectSound object; the clock is held so only LudoraPumpAudio mixes.
class DirectSoundTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A secondary buffer holding `frames` frames; `sample(frame, channel)`
    // gives each value (signed 16-bit scale; 8-bit buffers take the top byte).
    LPDIRECTSOUNDBUFFER make_buffer(DWORD rate, WORD channels, WORD bits, DWORD frames,
                                    const std::function<int(DWORD, WORD)>& sample,
                                    DWORD flags = DSBCAPS_CTRLDEFAULT);
    // Pumps `frames` frames of output and returns them as 16-bit stereo.
    std::vector<int16_t> pump(uint32_t frames);

    LPDIRECTSOUND ds_ = nullptr;
};

// One channel (0 left, 1 right) of interleaved stereo.
std::vector<int16_t> channel(const std::vector<int16_t>& stereo, int which);
using audio_measure::rms;
using audio_measure::zero_crossings;
int sine(DWORD frame, double period_frames, double amplitude);
bool signalled(HANDLE event);

} // namespace dsound_test
