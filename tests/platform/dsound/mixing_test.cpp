// What the mixer makes of buffers: levels, pan, pitch, clipping, output format.
#include "dsound_fixture.h"

#include <cmath>

namespace dsound_test {
namespace {

using Mixing = DirectSoundTest;

constexpr double kAmplitude = 10000;

TEST_F(Mixing, VolumeAttenuatesInHundredthsOfADecibel) {
    LPDIRECTSOUNDBUFFER tone =
        make_buffer(44100, 1, 16, 4410, [](DWORD f, WORD) { return sine(f, 100, kAmplitude); });
    ASSERT_NE(tone, nullptr);
    ASSERT_EQ(tone->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const double full = rms(channel(pump(4410), 0));
    EXPECT_NEAR(full, kAmplitude / std::sqrt(2.0), 20);

    for (LONG volume : {-1000, -2000, -600}) {
        ASSERT_EQ(tone->SetVolume(volume), DS_OK);
        const auto out = pump(4410);
        const double expected = std::pow(10.0, volume / 2000.0);
        EXPECT_NEAR(rms(channel(out, 0)) / full, expected, 0.005) << volume;
        EXPECT_NEAR(rms(channel(out, 1)) / full, expected, 0.005) << volume;
    }
    ASSERT_EQ(tone->SetVolume(DSBVOLUME_MIN), DS_OK);
    EXPECT_EQ(rms(pump(441)), 0.0);
    LONG volume = 0;
    ASSERT_EQ(tone->GetVolume(&volume), DS_OK);
    EXPECT_EQ(volume, DSBVOLUME_MIN);
    EXPECT_EQ(tone->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(tone->SetVolume(-10001), DSERR_INVALIDPARAM);
    tone->Release();
}

TEST_F(Mixing, PanAttenuatesOnlyTheOppositeSide) {
    LPDIRECTSOUNDBUFFER tone =
        make_buffer(44100, 1, 16, 4410, [](DWORD f, WORD) { return sine(f, 100, kAmplitude); });
    ASSERT_EQ(tone->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const double full = rms(channel(pump(4410), 0));

    ASSERT_EQ(tone->SetPan(1000), DS_OK); // towards the right: the left loses 10 dB
    auto out = pump(4410);
    EXPECT_NEAR(rms(channel(out, 0)) / full, 0.3162, 0.005);
    EXPECT_NEAR(rms(channel(out, 1)) / full, 1.0, 0.005);

    ASSERT_EQ(tone->SetPan(-3000), DS_OK);
    out = pump(4410);
    EXPECT_NEAR(rms(channel(out, 0)) / full, 1.0, 0.005);
    EXPECT_NEAR(rms(channel(out, 1)) / full, 0.0316, 0.002);

    ASSERT_EQ(tone->SetPan(DSBPAN_LEFT), DS_OK);
    out = pump(4410);
    EXPECT_EQ(rms(channel(out, 1)), 0.0);

    // Volume and pan add up in decibels.
    ASSERT_EQ(tone->SetPan(500), DS_OK);
    ASSERT_EQ(tone->SetVolume(-500), DS_OK);
    out = pump(4410);
    EXPECT_NEAR(rms(channel(out, 0)) / full, 0.3162, 0.005);
    EXPECT_NEAR(rms(channel(out, 1)) / full, 0.5623, 0.005);
    LONG pan = 0;
    ASSERT_EQ(tone->GetPan(&pan), DS_OK);
    EXPECT_EQ(pan, 500);
    EXPECT_EQ(tone->SetPan(10001), DSERR_INVALIDPARAM);
    tone->Release();
}

TEST_F(Mixing, LowRateEightBitBufferKeepsItsPitch) {
    // 441 Hz at 11025 Hz: 25 frames a period.
    LPDIRECTSOUNDBUFFER tone = make_buffer(
        11025, 1, 8, 11025, [](DWORD f, WORD) { return sine(f, 25, 20000); }, DSBCAPS_STATIC);
    ASSERT_EQ(tone->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const auto left = channel(pump(44100), 0);
    EXPECT_NEAR(zero_crossings(left), 882, 3);
    EXPECT_GT(rms(left), 10000);

    // Twice the frequency, an octave up; 0 gives the original back.
    ASSERT_EQ(tone->SetFrequency(22050), DS_OK);
    EXPECT_NEAR(zero_crossings(channel(pump(44100), 0)), 1764, 3);
    DWORD frequency = 0;
    ASSERT_EQ(tone->GetFrequency(&frequency), DS_OK);
    EXPECT_EQ(frequency, 22050u);
    ASSERT_EQ(tone->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
    ASSERT_EQ(tone->GetFrequency(&frequency), DS_OK);
    EXPECT_EQ(frequency, 11025u);
    EXPECT_NEAR(zero_crossings(channel(pump(44100), 0)), 882, 3);
    EXPECT_EQ(tone->SetFrequency(50), DSERR_INVALIDPARAM);
    tone->Release();
}

TEST_F(Mixing, StereoSourcesKeepTheirSidesAndVoicesAddUpAndClip) {
    LPDIRECTSOUNDBUFFER stereo =
        make_buffer(22050, 2, 16, 2205, [](DWORD, WORD c) { return c == 0 ? 8000 : -4000; });
    LPDIRECTSOUNDBUFFER mono = make_buffer(44100, 1, 8, 4410, [](DWORD, WORD) { return 2048; });
    ASSERT_EQ(stereo->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(mono->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    auto out = pump(100);
    EXPECT_EQ(out[20], 8000 + 2048);
    EXPECT_EQ(out[21], -4000 + 2048);

    LPDIRECTSOUNDBUFFER loud = make_buffer(44100, 1, 16, 4410, [](DWORD, WORD) { return 30000; });
    ASSERT_EQ(loud->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    out = pump(100);
    EXPECT_EQ(out[20], 32767);
    EXPECT_EQ(out[21], 30000 - 4000 + 2048);
    for (auto* b : {stereo, mono, loud})
        b->Release();
}

TEST_F(Mixing, PrimaryBufferSetsTheOutputFormatAndMasterLevel) {
    DSBUFFERDESC desc{};
    desc.dwSize = 20; // the size 32-bit programs pass
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    LPDIRECTSOUNDBUFFER primary = nullptr;
    ASSERT_EQ(ds_->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    WAVEFORMATEX format{};
    DWORD written = 0;
    ASSERT_EQ(primary->GetFormat(&format, sizeof(format), &written), DS_OK);
    EXPECT_EQ(format.nSamplesPerSec, 44100u);
    EXPECT_EQ(format.nChannels, 2);
    EXPECT_EQ(format.wBitsPerSample, 16);

    WAVEFORMATEX wanted = pcm_format(22050, 2, 16);
    ASSERT_EQ(primary->SetFormat(&wanted), DS_OK);
    ASSERT_EQ(primary->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    DWORD status = 0;
    ASSERT_EQ(primary->GetStatus(&status), DS_OK);
    EXPECT_EQ(status & (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING),
              DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING});
    uint32_t rate = 0;
    LudoraAudioFormat(&rate, nullptr, nullptr);
    EXPECT_EQ(rate, 22050u);

    // A 441 Hz tone still has 441 periods a second at the new rate.
    LPDIRECTSOUNDBUFFER tone =
        make_buffer(44100, 1, 16, 4410, [](DWORD f, WORD) { return sine(f, 100, kAmplitude); });
    ASSERT_EQ(tone->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const auto before = pump(22050);
    EXPECT_NEAR(zero_crossings(channel(before, 0)), 882, 3);

    ASSERT_EQ(primary->SetVolume(-2000), DS_OK);
    EXPECT_NEAR(rms(channel(pump(22050), 0)) / rms(channel(before, 0)), 0.1, 0.002);

    WAVEFORMATEX silly = pcm_format(22050, 6, 16);
    EXPECT_EQ(primary->SetFormat(&silly), DSERR_BADFORMAT);
    EXPECT_EQ(primary->Play(0, 0, 0), DSERR_INVALIDPARAM);
    LPDIRECTSOUNDBUFFER same = nullptr;
    ASSERT_EQ(ds_->CreateSoundBuffer(&desc, &same, nullptr), DS_OK);
    EXPECT_EQ(same, primary);
    LPDIRECTSOUNDBUFFER dup = nullptr;
    EXPECT_EQ(ds_->DuplicateSoundBuffer(primary, &dup), DSERR_INVALIDCALL);
    same->Release();

    wanted = pcm_format(44100, 2, 16);
    ASSERT_EQ(primary->SetFormat(&wanted), DS_OK);
    ASSERT_EQ(primary->SetVolume(0), DS_OK);
    tone->Release();
    EXPECT_EQ(primary->Release(), 0u);
}

} // namespace
} // namespace dsound_test
