// What the mixer produced, written to a WAV file for listening.
#include "dsound_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace dsound_test {
namespace {

struct WavFile {
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint16_t bits = 0;
    uint32_t riff_size = 0;
    uint32_t data_size = 0;
    std::vector<uint8_t> data;
};

uint32_t u32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t u16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

bool read_wav(const std::string& path, WavFile& wav) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::vector<uint8_t> bytes;
    uint8_t chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof(chunk), file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);
    if (bytes.size() < 44 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 36, "data", 4) != 0)
        return false;
    wav.riff_size = u32(&bytes[4]);
    wav.channels = u16(&bytes[22]);
    wav.rate = u32(&bytes[24]);
    wav.bits = u16(&bytes[34]);
    wav.data_size = u32(&bytes[40]);
    wav.data.assign(bytes.begin() + 44, bytes.end());
    return true;
}

std::string temp_path(const char* name) {
    return std::string(::testing::TempDir()) + name + std::to_string(getpid()) + ".wav";
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
    const std::string path = temp_path("ludora_audio_out");
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
    WavFile wav;
    ASSERT_TRUE(read_wav(path, wav));
    EXPECT_GE(wav.data_size, 44100u * 4);

    buffer->Release();
    EXPECT_EQ(ds->Release(), 0u);
    LudoraReleaseClock();

    ASSERT_TRUE(read_wav(path, wav));
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.rate, 44100u);
    EXPECT_EQ(wav.bits, 16);
    EXPECT_EQ(wav.data_size, wav.data.size());
    EXPECT_EQ(wav.riff_size, wav.data_size + 36);
    ASSERT_EQ(wav.data.size(), heard.size() * 2);
    EXPECT_EQ(std::memcmp(wav.data.data(), heard.data(), wav.data.size()), 0);
    EXPECT_EQ(heard[0], 12000);
    EXPECT_EQ(heard[2 * 75 + 1], -12000);
    LudoraStopAudioCapture();
    std::remove(path.c_str());
}

TEST(AudioCapture, HarnessCaptureWritesTheDeviceFormat) {
    const std::string path = temp_path("ludora_capture");
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

    WavFile wav;
    ASSERT_TRUE(read_wav(path, wav));
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.rate, 22050u);
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
    std::remove(path.c_str());
    EXPECT_EQ(LudoraStartAudioCapture("/nonexistent-dir/x.wav"), 0);
}

} // namespace
} // namespace dsound_test
