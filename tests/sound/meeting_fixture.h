// Where the caller's thread meets the callback thread and the fill thread:
// each test holds the library's threads at chosen points (the hooks of the
// tests' own build) so that one meeting happens every run, and checks that
// nothing is used after its release, shared, lost or left running.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "interleaving.h"
#include "sound_fixture.h"

namespace soundtest {

inline const uint32_t kSegmentFrames = 22052 / 4; // 16-bit stereo at 22050 Hz

// Music of `frames` frames, 16-bit stereo at 22050 Hz; shorter than one
// segment, it ends at the first boundary it reaches.
inline Bytes Music(uint32_t frames, uint8_t mask = 0) {
    Bytes data = Pattern(frames, 2);
    for (uint8_t& byte : data)
        byte ^= mask;
    return Wav(2, 22050, 16, data);
}

// A tenth of a second of 16-bit mono at 22050 Hz (2205 device frames).
inline Bytes Clip() {
    return Wav(1, 22050, 16, Pattern(2205, 1));
}

// What the next function saw and did.
inline std::atomic<int> g_nextCalls{0};
inline std::atomic<unsigned long> g_nextId{0};
inline std::atomic<int> g_nextLoaded{-1}; // LoadStream's answer inside it; -1 when not tried
inline std::string g_nextMusic;           // the piece it queues, when set

// A gate the next function may have to pass first.
inline std::mutex g_gateMutex;
inline std::condition_variable g_gateChanged;
inline bool g_gateClosed = false;
inline std::atomic<int> g_atGate{0};

inline void CloseGate() {
    std::lock_guard<std::mutex> lock(g_gateMutex);
    g_gateClosed = true;
}

inline void OpenGate() {
    {
        std::lock_guard<std::mutex> lock(g_gateMutex);
        g_gateClosed = false;
    }
    g_gateChanged.notify_all();
}

// Counts, waits at the gate, then queues the next piece once, looping.
inline void QueueNext(unsigned long id) {
    g_nextId = id;
    if (g_nextCalls++ != 0 || g_nextMusic.empty()) return;
    {
        std::unique_lock<std::mutex> lock(g_gateMutex);
        ++g_atGate;
        g_gateChanged.wait_for(lock, Interleaving::kLimit, [] { return !g_gateClosed; });
    }
    g_nextLoaded = g_Sound.LoadStream(g_nextMusic.data(), id + 1);
    if (g_nextLoaded == 1) g_Sound.PlayStream(4);
}

class ThreadMeetingTest : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        g_nextCalls = 0;
        g_nextId = 0;
        g_nextLoaded = -1;
        g_nextMusic.clear();
        g_atGate = 0;
        OpenGate();
        g_Sound.SetStreamNextFunc(QueueNext);
    }

    void TearDown() override {
        OpenGate();
        for (int point = 0; point < (int)HookPoint::Count; ++point)
            steps_.Release((HookPoint)point);
        ZQSound::ClearStreamNextStreamFunc();
        SoundTest::TearDown();
        EXPECT_EQ(0, ZQSound::g_nCallBackThreadActive.load());
    }

    _SNDStream& Stream() { return *ZQSound::GetStreamInfoPtr(); }

    int LoadMusic(const Bytes& file, unsigned long id) {
        return g_Sound.LoadStream(WriteTemp("music" + std::to_string(id) + ".wav", file).data(),
                                  id);
    }

    // Plays the short piece `id` and pumps the mixer to its natural end: the
    // fill thread stops the buffer and wakes for the stop. Answers the fill
    // thread, held at its stop when `hold` is set.
    DWORD PlayToTheEnd(unsigned long id, bool hold = true) {
        if (hold) steps_.Hold(HookPoint::FillStopSeen, NotThread(GetCurrentThreadId()));
        EXPECT_EQ(1, LoadMusic(Music(4000), id));
        DWORD fill = ZQSound::g_FillThreadID;
        EXPECT_EQ(1, g_Sound.PlayStream(0));
        Pump(kSegmentFrames);
        if (hold) {
            EXPECT_TRUE(steps_.Reached(HookPoint::FillStopSeen, Thread(fill)));
        }
        return fill;
    }

    // No fill thread is left and none is recorded.
    void ExpectNoFillThread() {
        HANDLE thread = ZQSound::g_FillThread;
        if (thread) {
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 0));
        }
        EXPECT_EQ(nullptr, thread);
    }

    // Whether the stream plays piece `id` on a live fill thread.
    bool PlaysOnItsThread(DWORD id) {
        SNDSample* sample = Stream().pSample;
        HANDLE thread = ZQSound::g_FillThread;
        return sample && sample->dwID == id && (Stream().dwFlags & STREAM_PLAYING) && thread &&
               WaitForSingleObject(thread, 0) == WAIT_TIMEOUT;
    }

    static bool Silent(const std::vector<int16_t>& heard) {
        for (int16_t value : heard)
            if (value != 0) return false;
        return true;
    }

    Watchdog watchdog_{std::chrono::seconds(90)};
    Interleaving steps_;
};

} // namespace soundtest
