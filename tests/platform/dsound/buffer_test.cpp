// Buffers as programs use them: creation, locking, playing, cursors, duplicates.
#include "dsound_fixture.h"

#include <cstdlib>

namespace dsound_test {
namespace {

using Buffers = DirectSoundTest;

int ramp(DWORD frame, WORD) {
    return static_cast<int>(frame % 1000) * 20;
}

TEST_F(Buffers, CreationChecksItsDescription) {
    WAVEFORMATEX format = pcm_format(22050, 1, 16);
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY;
    desc.dwBufferBytes = 1000;
    desc.lpwfxFormat = &format;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &buffer, reinterpret_cast<LPUNKNOWN>(ds_)),
              DSERR_NOAGGREGATION);
    desc.dwSize = 12;
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM);
    desc.dwSize = sizeof(desc);
    desc.dwBufferBytes = 0;
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM);
    desc.dwBufferBytes = 1000;
    format.wFormatTag = 2; // ADPCM
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
    format = pcm_format(22050, 1, 24);
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
    format = pcm_format(22050, 2, 16);
    format.nBlockAlign = 3;
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
    desc.lpwfxFormat = nullptr;
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer, nullptr);

    format = pcm_format(22050, 2, 16);
    desc.lpwfxFormat = &format;
    ASSERT_EQ(ds_->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    DSBCAPS caps{};
    caps.dwSize = sizeof(caps);
    ASSERT_EQ(buffer->GetCaps(&caps), DS_OK);
    EXPECT_EQ(caps.dwBufferBytes, 1000u);
    EXPECT_EQ(caps.dwFlags & (DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_LOCSOFTWARE),
              DWORD{DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_LOCSOFTWARE});
    WAVEFORMATEX back{};
    DWORD written = 0;
    ASSERT_EQ(buffer->GetFormat(&back, sizeof(back), &written), DS_OK);
    EXPECT_EQ(written, sizeof(WAVEFORMATEX));
    EXPECT_EQ(back.nSamplesPerSec, 22050u);
    EXPECT_EQ(back.nChannels, 2);
    EXPECT_EQ(back.nBlockAlign, 4);

    // Reference counts are real.
    EXPECT_EQ(buffer->AddRef(), 2u);
    EXPECT_EQ(buffer->Release(), 1u);
    EXPECT_EQ(ds_->AddRef(), 2u);
    EXPECT_EQ(ds_->Release(), 1u);
    EXPECT_EQ(buffer->Release(), 0u);

    DSCAPS dscaps{};
    dscaps.dwSize = sizeof(dscaps);
    ASSERT_EQ(ds_->GetCaps(&dscaps), DS_OK);
    EXPECT_EQ(sizeof(DSCAPS), 96u);
    EXPECT_TRUE(dscaps.dwFlags & DSCAPS_PRIMARYSTEREO);
    EXPECT_TRUE(dscaps.dwFlags & DSCAPS_PRIMARY16BIT);
    dscaps.dwSize = 20;
    EXPECT_EQ(ds_->GetCaps(&dscaps), DSERR_INVALIDPARAM);
    EXPECT_EQ(ds_->Compact(), DS_OK);
}

TEST_F(Buffers, LockGivesTwoRegionsWhenTheRangeWraps) {
    LPDIRECTSOUNDBUFFER buffer = make_buffer(22050, 1, 8, 1000, ramp);
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0;
    DWORD n2 = 0;
    ASSERT_EQ(buffer->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
    auto* base = static_cast<uint8_t*>(p1);
    EXPECT_EQ(n1, 1000u);
    EXPECT_EQ(p2, nullptr);
    EXPECT_EQ(n2, 0u);
    ASSERT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);

    ASSERT_EQ(buffer->Lock(800, 400, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(p1, base + 800);
    EXPECT_EQ(n1, 200u);
    EXPECT_EQ(p2, base);
    EXPECT_EQ(n2, 200u);
    ASSERT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);

    // Without a second pointer the lock ends at the end of the buffer.
    ASSERT_EQ(buffer->Lock(900, 300, &p1, &n1, nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(n1, 100u);
    ASSERT_EQ(buffer->Unlock(p1, n1, nullptr, 0), DS_OK);

    // From the write cursor: a stopped buffer writes where it would play.
    ASSERT_EQ(buffer->SetCurrentPosition(640), DS_OK);
    ASSERT_EQ(buffer->Lock(0, 500, &p1, &n1, &p2, &n2, DSBLOCK_FROMWRITECURSOR), DS_OK);
    EXPECT_EQ(p1, base + 640);
    EXPECT_EQ(n1, 360u);
    EXPECT_EQ(n2, 140u);
    ASSERT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);

    EXPECT_EQ(buffer->Lock(1000, 10, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(0, 1001, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(0, 0, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Unlock(base + 1000, 1, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Unlock(base + 900, 200, nullptr, 0), DSERR_INVALIDPARAM);
    buffer->Release();
}

TEST_F(Buffers, PlayMovesTheCursorsByWhatWasMixed) {
    // 22050 Hz mono 16-bit: every 2 output frames at 44100 Hz move one source frame.
    LPDIRECTSOUNDBUFFER buffer = make_buffer(22050, 1, 16, 1000, ramp);
    DWORD play = 1;
    DWORD write = 1;
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    pump(600);
    ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
    EXPECT_EQ(play, 600u);
    EXPECT_EQ(write, 600u + 2 * 220); // ten milliseconds ahead
    // The status holds nothing but the flags that apply.
    DWORD status = 0;
    ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DWORD{DSBSTATUS_PLAYING});

    // Stop keeps the position; Play goes on from there.
    ASSERT_EQ(buffer->Stop(), DS_OK);
    pump(600);
    ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
    EXPECT_EQ(play, 600u);
    EXPECT_EQ(write, 600u);
    ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, 0u);

    // A one-shot buffer stops at its end and rewinds.
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    const auto out = pump(1500); // 700 frames left, 1400 frames of output
    ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, 0u);
    ASSERT_EQ(buffer->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(play, 0u);
    EXPECT_EQ(out[2 * 2], 301 * 20);
    EXPECT_EQ(out[2 * 1450], 0); // silence after the end

    // A looping buffer goes round and reports it.
    ASSERT_EQ(buffer->SetCurrentPosition(1800), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    pump(400);
    ASSERT_EQ(buffer->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(play, 200u);
    ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING});
    EXPECT_EQ(buffer->SetCurrentPosition(2000), DSERR_INVALIDPARAM);
    buffer->Release();
}

TEST_F(Buffers, DuplicatesShareTheSamplesButPlayOnTheirOwn) {
    LPDIRECTSOUNDBUFFER original =
        make_buffer(44100, 1, 16, 1000, [](DWORD, WORD) { return 1000; });
    ASSERT_EQ(original->SetVolume(-1000), DS_OK);
    LPDIRECTSOUNDBUFFER copy = nullptr;
    ASSERT_EQ(ds_->DuplicateSoundBuffer(original, &copy), DS_OK);
    LONG volume = 0;
    ASSERT_EQ(copy->GetVolume(&volume), DS_OK);
    EXPECT_EQ(volume, -1000);
    ASSERT_EQ(copy->SetVolume(0), DS_OK);

    // New samples written through the original are heard from the duplicate.
    void* p1 = nullptr;
    DWORD n1 = 0;
    ASSERT_EQ(original->Lock(0, 0, &p1, &n1, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    for (DWORD i = 0; i < n1 / 2; ++i)
        static_cast<int16_t*>(p1)[i] = 3000;
    ASSERT_EQ(original->Unlock(p1, n1, nullptr, 0), DS_OK);
    ASSERT_EQ(copy->Play(0, 0, 0), DS_OK);
    auto out = pump(100);
    EXPECT_EQ(out[0], 3000);
    DWORD status = 0;
    ASSERT_EQ(original->GetStatus(&status), DS_OK);
    EXPECT_EQ(status & DSBSTATUS_PLAYING, 0u);

    // Both together, stopping one leaves the other.
    ASSERT_EQ(original->Play(0, 0, 0), DS_OK);
    out = pump(100);
    EXPECT_NEAR(out[0], 3000 + 949, 1);
    ASSERT_EQ(copy->Stop(), DS_OK);
    out = pump(100);
    EXPECT_NEAR(out[0], 949, 1);
    DWORD play_original = 0;
    DWORD play_copy = 0;
    ASSERT_EQ(original->GetCurrentPosition(&play_original, nullptr), DS_OK);
    ASSERT_EQ(copy->GetCurrentPosition(&play_copy, nullptr), DS_OK);
    EXPECT_EQ(play_original, 400u);
    EXPECT_EQ(play_copy, 400u);

    // The samples outlive the original.
    EXPECT_EQ(original->Release(), 0u);
    ASSERT_EQ(copy->SetCurrentPosition(0), DS_OK);
    ASSERT_EQ(copy->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(pump(10)[0], 3000);
    EXPECT_EQ(copy->Release(), 0u);
    EXPECT_EQ(ds_->DuplicateSoundBuffer(nullptr, &copy), DSERR_INVALIDPARAM);
}

TEST_F(Buffers, BuffersOutliveTheirDirectSoundObjectSilently) {
    LPDIRECTSOUNDBUFFER buffer = make_buffer(44100, 1, 16, 1000, [](DWORD, WORD) { return 1000; });
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    LPDIRECTSOUND second = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &second, nullptr), DS_OK);
    ds_->Release();
    ds_ = second;
    DWORD status = 0;
    ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DWORD{DSBSTATUS_BUFFERLOST});
    EXPECT_EQ(buffer->Play(0, 0, 0), DSERR_BUFFERLOST);
    EXPECT_EQ(rms(pump(100)), 0.0);
    buffer->Release();
}

TEST_F(Buffers, PriorityIsNeededForThePrimaryFormat) {
    ASSERT_EQ(ds_->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    LPDIRECTSOUNDBUFFER primary = nullptr;
    ASSERT_EQ(ds_->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    WAVEFORMATEX format = pcm_format(22050, 2, 16);
    EXPECT_EQ(primary->SetFormat(&format), DSERR_PRIOLEVELNEEDED);
    void* p = nullptr;
    DWORD n = 0;
    EXPECT_EQ(primary->Lock(0, 4, &p, &n, nullptr, nullptr, 0), DSERR_PRIOLEVELNEEDED);
    EXPECT_EQ(ds_->Compact(), DSERR_PRIOLEVELNEEDED);
    EXPECT_EQ(ds_->SetCooperativeLevel(nullptr, 9), DSERR_INVALIDPARAM);
    primary->Release();
}

BOOL CALLBACK count_device(LPGUID guid, LPCSTR description, LPCSTR, LPVOID context) {
    EXPECT_EQ(guid, nullptr); // the default device
    EXPECT_STRNE(description, "");
    ++*static_cast<int*>(context);
    return TRUE;
}

TEST(DirectSoundCreate, FailsWithoutASoundDevice) {
    int devices = 0;
    ASSERT_EQ(DirectSoundEnumerateA(count_device, &devices), DS_OK);
    EXPECT_EQ(devices, 1);
    setenv("LUDORA_AUDIO", "none", 1);
    devices = 0;
    ASSERT_EQ(DirectSoundEnumerateA(count_device, &devices), DS_OK);
    EXPECT_EQ(devices, 0);
    LPDIRECTSOUND ds = reinterpret_cast<LPDIRECTSOUND>(1);
    EXPECT_EQ(DirectSoundCreate(nullptr, &ds, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(ds, nullptr);
    unsetenv("LUDORA_AUDIO");
    EXPECT_EQ(LudoraPumpAudio(10, nullptr), 0u);
    EXPECT_EQ(DirectSoundCreate(nullptr, nullptr, nullptr), DSERR_INVALIDPARAM);
    GUID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(DirectSoundCreate(&other, &ds, nullptr), DSERR_NODRIVER);
    ASSERT_EQ(DirectSoundCreate(nullptr, &ds, nullptr), DS_OK);
    EXPECT_EQ(ds->Release(), 0u);
}

} // namespace
} // namespace dsound_test
