// Several threads play, duplicate, stop and wait on notifications while the
// mixer runs on its own thread and is pumped from another: no race, no deadlock.
#include "dsound_fixture.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <unistd.h>

#include "tests/support/wav.h"

namespace dsound_test {
namespace {

void write_silence_wav(const std::string& path, uint32_t frames) {
    ASSERT_TRUE(testkit::WriteWav(path, 1, 22050, std::vector<int16_t>(frames)));
}

TEST(DirectSoundThreads, PlayDuplicateStopAndWaitFromManyThreads) {
    LPDIRECTSOUND ds = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &ds, nullptr), DS_OK);
    WAVEFORMATEX format = pcm_format(44100, 1, 16);
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_CTRLDEFAULT;
    desc.dwBufferBytes = 441 * 2; // 10 ms
    desc.lpwfxFormat = &format;
    LPDIRECTSOUNDBUFFER original = nullptr;
    ASSERT_EQ(ds->CreateSoundBuffer(&desc, &original, nullptr), DS_OK);
    void* p = nullptr;
    DWORD n = 0;
    ASSERT_EQ(original->Lock(0, 0, &p, &n, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    for (DWORD i = 0; i < n / 2; ++i)
        static_cast<int16_t*>(p)[i] = static_cast<int16_t>(i * 50);
    ASSERT_EQ(original->Unlock(p, n, nullptr, 0), DS_OK);

    std::atomic<bool> done{false};
    std::atomic<int> stops_heard{0};
    std::atomic<int> failures{0};
    constexpr int kWorkers = 4;
    constexpr int kRounds = 20;

    std::vector<std::thread> threads;
    for (int w = 0; w < kWorkers; ++w) {
        threads.emplace_back([&, w] {
            HANDLE stopped = CreateEventA(nullptr, FALSE, FALSE, nullptr);
            for (int round = 0; round < kRounds; ++round) {
                LPDIRECTSOUNDBUFFER copy = nullptr;
                if (ds->DuplicateSoundBuffer(original, &copy) != DS_OK) {
                    ++failures;
                    continue;
                }
                LPDIRECTSOUNDNOTIFY notify = nullptr;
                copy->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify));
                const DSBPOSITIONNOTIFY at_stop = {DSBPN_OFFSETSTOP, stopped};
                notify->SetNotificationPositions(1, &at_stop);
                copy->SetPan((w - 2) * 1000);
                copy->Play(0, 0, 0);
                if ((round + w) % 3 == 0) copy->Stop();
                if (WaitForSingleObject(stopped, 5000) == WAIT_OBJECT_0) {
                    ++stops_heard;
                } else {
                    ++failures;
                }
                notify->Release();
                copy->Release();
            }
            CloseHandle(stopped);
        });
    }
    // Music through MCI on the same mixer, steered from yet another thread.
    const std::string music =
        std::string(::testing::TempDir()) + "ludora_threads_" + std::to_string(getpid()) + ".wav";
    write_silence_wav(music, 22050);
    threads.emplace_back([&] {
        char reply[32];
        if (mciSendStringA(("open \"" + music + "\" alias music").c_str(), nullptr, 0, nullptr) !=
            0)
            ++failures;
        while (!done) {
            mciSendStringA("play music", nullptr, 0, nullptr);
            mciSendStringA("pause music", nullptr, 0, nullptr);
            mciSendStringA("status music mode", reply, sizeof(reply), nullptr);
            mciSendStringA("resume music", nullptr, 0, nullptr);
            mciSendStringA("status music position", reply, sizeof(reply), nullptr);
            std::this_thread::yield();
        }
        if (mciSendStringA("close music", nullptr, 0, nullptr) != 0) ++failures;
    });
    threads.emplace_back([&] {
        std::vector<int16_t> out(2 * 64);
        while (!done)
            LudoraPumpAudio(64, out.data());
    });
    threads.emplace_back([&] {
        original->Play(0, 0, DSBPLAY_LOOPING);
        LONG volume = 0;
        while (!done) {
            DWORD play = 0;
            DWORD write = 0;
            original->GetCurrentPosition(&play, &write);
            original->SetVolume(volume);
            volume = volume <= -3000 ? 0 : volume - 100;
            DWORD status = 0;
            original->GetStatus(&status);
            std::this_thread::yield();
        }
        original->Stop();
    });
    for (int w = 0; w < kWorkers; ++w)
        threads[w].join();
    done = true;
    for (size_t t = kWorkers; t < threads.size(); ++t)
        threads[t].join();

    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(stops_heard.load(), kWorkers * kRounds);
    EXPECT_EQ(original->Release(), 0u);
    EXPECT_EQ(ds->Release(), 0u);
    std::remove(music.c_str());
}

} // namespace
} // namespace dsound_test
