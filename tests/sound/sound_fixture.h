// The sound object on a held clock: nothing mixes until a test pumps it.
#pragma once

#include <gtest/gtest.h>

#include "ludora/harness_audio.h"
#include "ludora/harness_clock.h"
#include "wav_builder.h"
#include "zqsound.h"

class SoundTest : public ::testing::Test {
protected:
    virtual int PoolSize() { return 16; }

    void SetUp() override {
        LudoraHoldClock();
        ASSERT_EQ(1, g_Sound.Init(nullptr, PoolSize()));
        ASSERT_NE(nullptr, ZQSound::GetDSPrimaryBuffer());
    }

    void TearDown() override {
        g_Sound.Exit();
        LudoraReleaseClock();
    }

    // Loads a file written from `bytes` under `id`.
    int Load(const std::string& name, const soundtest::Bytes& bytes, unsigned long id) {
        std::string path = soundtest::WriteTemp(name, bytes);
        return g_Sound.LoadSample(path.data(), id);
    }

    static SNDSample* Slot(int i) { return &ZQSound::g_SampleList[i]; }

    // The device frames of `bytes` of a buffer at `rate`, `frameBytes` each.
    static uint32_t DeviceFrames(uint32_t bytes, uint32_t frameBytes, uint32_t rate) {
        uint32_t deviceRate = 0;
        uint16_t channels = 0, bits = 0;
        LudoraAudioFormat(&deviceRate, &channels, &bits);
        return (uint32_t)((uint64_t)bytes / frameBytes * deviceRate / rate) + 1;
    }
};
