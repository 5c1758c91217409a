#include "dsound_fixture.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace dsound_test {
namespace {

// The tests never open a real sound device, however they are started.
class HeadlessAudio : public ::testing::Environment {
public:
    void SetUp() override { setenv("LUDORA_VIDEO", "headless", 1); }
};
const auto* const kHeadlessAudio = ::testing::AddGlobalTestEnvironment(new HeadlessAudio);

} // namespace

WAVEFORMATEX pcm_format(DWORD rate, WORD channels, WORD bits) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = bits;
    format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    return format;
}

void DirectSoundTest::SetUp() {
    LudoraHoldClock();
    ASSERT_EQ(DirectSoundCreate(nullptr, &ds_, nullptr), DS_OK);
    ASSERT_EQ(ds_->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
}

void DirectSoundTest::TearDown() {
    if (ds_ != nullptr) ds_->Release();
    ds_ = nullptr;
    LudoraReleaseClock();
}

LPDIRECTSOUNDBUFFER DirectSoundTest::make_buffer(DWORD rate, WORD channels, WORD bits, DWORD frames,
                                                 const std::function<int(DWORD, WORD)>& sample,
                                                 DWORD flags) {
    WAVEFORMATEX format = pcm_format(rate, channels, bits);
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = flags;
    desc.dwBufferBytes = frames * format.nBlockAlign;
    desc.lpwfxFormat = &format;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    if (buffer == nullptr) return nullptr;
    void* p1 = nullptr;
    DWORD n1 = 0;
    EXPECT_EQ(buffer->Lock(0, 0, &p1, &n1, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    auto* bytes = static_cast<uint8_t*>(p1);
    for (DWORD f = 0; f < frames; ++f) {
        for (WORD c = 0; c < channels; ++c) {
            const int value = sample(f, c);
            if (bits == 8) {
                bytes[f * channels + c] = static_cast<uint8_t>((value >> 8) + 128);
            } else {
                const int16_t v = static_cast<int16_t>(value);
                std::memcpy(bytes + (f * channels + c) * 2, &v, 2);
            }
        }
    }
    EXPECT_EQ(buffer->Unlock(p1, n1, nullptr, 0), DS_OK);
    return buffer;
}

std::vector<int16_t> DirectSoundTest::pump(uint32_t frames) {
    std::vector<int16_t> out(size_t{frames} * 2);
    EXPECT_EQ(LudoraPumpAudio(frames, out.data()), frames);
    return out;
}

std::vector<int16_t> channel(const std::vector<int16_t>& stereo, int which) {
    std::vector<int16_t> out;
    for (size_t i = static_cast<size_t>(which); i < stereo.size(); i += 2)
        out.push_back(stereo[i]);
    return out;
}


int sine(DWORD frame, double period_frames, double amplitude) {
    return static_cast<int>(std::lround(amplitude * std::sin(2 * M_PI * frame / period_frames)));
}

bool signalled(HANDLE event) {
    return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

} // namespace dsound_test
