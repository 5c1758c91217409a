// What the mixer produced, written to a WAV file for listening.
#include "dsound_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "tests/support/temp_folder.h"
#include "tests/support/wav.h"

namespace dsound_test {
namespace {

// The file the layer writes: the plain 44-byte header, then the data.
bool read_wav(const std::string& path, testkit::WavFile& wav) {
    wav = testkit::WavFile();
    return testkit::ReadWavFile(path, wav) && wav.dataOffset == 44;
}

LPDIRECTSOUNDBUFFER square_buffer(LPDIRECTSOUND ds) {
    WAVEFORMATEX format = pcm_format(44100, 1, 16);
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwBufferBytes = 200;
    desc.lpwfxFormat = &format;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    if (ds->CreateSoundBuffer(&desc, &buffer, nullptr) != DS_OK) return nullptr;
    void* p = nullptr;
    DWORD n = 0;
    buffer->Lock(0, 0, &p, &n, nullptr, nullptr, DSBLOCK_ENTIREBUFFER);
    for (DWORD i = 0; i < n / 2; ++i)
        static_cast<int16_t*>(p)[i] = i < 50 ? 12000 : -12000;
    buffer->Unlock(p, n, nullptr, 0);
    return buffer;
}

TEST(AudioCapture, AudioOutRecordsEverythingMixedAndIsCompleteAtTheLastRelease) {
    const testkit::TempFolder folder("ludora-audio-out");
    const std::string path = folder.File("audio_out.wav");
    LudoraHoldClock();
    setenv("LUDORA_AUDIO_OUT", path.c_str(), 1);
    LPDIRECTSOUND ds = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &ds, nullptr), DS_OK);
    unsetenv("LUDORA_AUDIO_OUT");
    LPDIRECTSOUNDBUFFER buffer = square_buffer(ds);
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    std::vector<int16_t> heard(2 * 50000);
    ASSERT_EQ(LudoraPumpAudio(50000, heard.data()), 50000u);

    // The header is kept up to date while the program runs.
    testkit::WavFile wav;
    ASSERT_TRUE(read_wav(path, wav));
    EXPECT_GE(wav.dataSize, 44100u * 4);

    buffer->Release();
    EXPECT_EQ(ds->Release(), 0u);
    LudoraReleaseClock();

    ASSERT_TRUE(read_wav(path, wav));
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.rate, 44100);
    EXPECT_EQ(wav.bits, 16);
    EXPECT_EQ(wav.fileSize, 44 + wav.dataSize); // the data runs to the end of the file
    EXPECT_EQ(wav.riffSize, wav.dataSize + 36);
    ASSERT_EQ(wav.data.size(), heard.size() * 2);
    EXPECT_EQ(std::memcmp(wav.data.data(), heard.data(), wav.data.size()), 0);
    EXPECT_EQ(heard[0], 12000);
    EXPECT_EQ(heard[2 * 75 + 1], -12000);
    LudoraStopAudioCapture();
}

TEST(AudioCapture, HarnessCaptureWritesTheDeviceFormat) {
    const testkit::TempFolder folder("ludora-capture");
    const std::string path = folder.File("capture.wav");
    LudoraHoldClock();
    LPDIRECTSOUND ds = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &ds, nullptr), DS_OK);
    ASSERT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_EXCLUSIVE), DS_OK);
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    LPDIRECTSOUNDBUFFER primary = nullptr;
    ASSERT_EQ(ds->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    WAVEFORMATEX format = pcm_format(22050, 1, 8);
    ASSERT_EQ(primary->SetFormat(&format), DS_OK);

    ASSERT_EQ(LudoraStartAudioCapture(path.c_str()), 1);
    LPDIRECTSOUNDBUFFER buffer = square_buffer(ds);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(LudoraPumpAudio(1000, nullptr), 1000u);
    LudoraStopAudioCapture();

    testkit::WavFile wav;
    ASSERT_TRUE(read_wav(path, wav));
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.rate, 22050);
    EXPECT_EQ(wav.bits, 8);
    ASSERT_EQ(wav.data.size(), 1000u);
    EXPECT_EQ(wav.data[0], (12000 >> 8) + 128);
    EXPECT_EQ(wav.data[40], (-12000 >> 8) + 128);

    format = pcm_format(44100, 2, 16);
    ASSERT_EQ(primary->SetFormat(&format), DS_OK);
    buffer->Release();
    primary->Release();
    ds->Release();
    LudoraReleaseClock();
    EXPECT_EQ(LudoraStartAudioCapture("/nonexistent-dir/x.wav"), 0);
}

} // namespace
} // namespace dsound_test
