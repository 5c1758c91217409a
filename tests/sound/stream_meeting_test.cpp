// The music stream from two threads: the fill thread refills and tears down
// while the caller's thread stops, pauses, loads, sets the volume and fades.
#include "meeting_fixture.h"

using namespace soundtest;

// The fuzzer's finding: a short piece ends by itself while the caller stops
// it, sets its volume or fades it. The fill thread tears the stream down when
// it sees the stop; the caller must never be left holding a released buffer.
TEST_F(ThreadMeetingTest, AStreamEndingByItselfLeavesTheCallersBufferAlone) {
    struct Caller {
        const char* name;
        HookPoint point; // where the caller holds the buffer it will use
        std::function<void()> call;
    };
    const Caller callers[] = {
        {"StopStream", HookPoint::StopStreamHasBuffer, [] { g_Sound.StopStream(); }},
        {"SetStreamVolume", HookPoint::SetVolumeChecked, [] { ZQSound::SetStreamVolume(1000); }},
        {"FadeMusic", HookPoint::SetVolumeChecked, [] { g_Sound.FadeMusic(0, 0x8000, 2); }},
    };
    unsigned long id = 40;
    for (const Caller& caller : callers) {
        SCOPED_TRACE(caller.name);
        g_nextCalls = 0;
        DWORD fill = PlayToTheEnd(++id);
        steps_.Hold(caller.point, NotThread(fill));
        size_t mark = steps_.Mark();
        Helper call(caller.call);
        ASSERT_TRUE(steps_.Reached(caller.point, Thread(call.Id()), mark));

        // The fill thread goes on: it either tears the stream down under the
        // caller or has to wait for it.
        size_t before = steps_.Mark();
        steps_.Release(HookPoint::FillStopSeen);
        ASSERT_NE(-1, steps_.ReachedAny({HookPoint::StreamReleased, HookPoint::SoundLocking},
                                        Thread(fill), before));
        steps_.Release(caller.point);
        // A fade waits for the clock between its steps.
        ASSERT_TRUE(Eventually([&] {
            LudoraAdvanceClock(1);
            return call.Finished();
        }));

        ASSERT_TRUE(WaitFor([&] { return !Stream().pSample.load() && g_nextCalls == 1; }));
        EXPECT_EQ(id, g_nextId.load());
        EXPECT_EQ(0u, Stream().dwFlags.load());
        ASSERT_TRUE(WaitFor([&] {
            HANDLE thread = ZQSound::g_FillThread;
            return !thread || WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
        }));
        EXPECT_TRUE(Silent(Pump(2000)));
    }
}
// A pause and a quick resume: the fill thread wakes for the pause's stop only
// after the resume has cleared the paused bit, before the buffer plays again.
// The stream must play on from where it was paused.
TEST_F(ThreadMeetingTest, AQuickResumeKeepsTheStream) {
    Bytes data = Pattern(22050 * 3, 2);
    ASSERT_EQ(1, LoadMusic(Wav(2, 22050, 16, data), 7));
    DWORD fill = ZQSound::g_FillThreadID;
    ASSERT_EQ(1, g_Sound.PlayStream(4));
    std::vector<int16_t> heard = Pump(kSegmentFrames);
    ASSERT_TRUE(WaitFor([&] { return Stream().dwFlags & STREAM_PRIMED; }));
    std::vector<int16_t> more = Pump(700);
    heard.insert(heard.end(), more.begin(), more.end());

    steps_.Hold(HookPoint::FillStopSeen, Thread(fill));
    EXPECT_EQ(1, g_Sound.PauseStream());
    ASSERT_TRUE(steps_.Reached(HookPoint::FillStopSeen, Thread(fill)));
    steps_.Hold(HookPoint::ResumeBeforePlay, NotThread(fill));
    size_t mark = steps_.Mark();
    Helper resume([] { g_Sound.PauseStream(); });
    ASSERT_TRUE(steps_.Reached(HookPoint::ResumeBeforePlay, Thread(resume.Id()), mark));

    size_t before = steps_.Mark();
    steps_.Release(HookPoint::FillStopSeen);
    ASSERT_NE(-1, steps_.ReachedAny({HookPoint::StreamReleased, HookPoint::SoundLocking},
                                    Thread(fill), before));
    steps_.Release(HookPoint::ResumeBeforePlay);
    ASSERT_TRUE(resume.Join());

    // The stop was the pause's: the stream keeps its buffer and thread and
    // plays on from the paused frame.
    ASSERT_NE(nullptr, Stream().pSample.load());
    EXPECT_EQ(DWORD(STREAM_LOADED | STREAM_PLAYING | STREAM_LOOP | STREAM_FILLING | STREAM_PRIMED),
              Stream().dwFlags.load());
    EXPECT_EQ(0, g_nextCalls.load());
    for (int i = 0; i < 2; ++i) {
        DWORD left = Stream().dwBytesLeft;
        more = Pump(kSegmentFrames);
        heard.insert(heard.end(), more.begin(), more.end());
        ASSERT_TRUE(WaitFor([&] { return Stream().dwBytesLeft != left; }));
    }
    std::vector<int16_t> file = Samples16(data);
    for (size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(file[i], heard[i]) << "sample " << i;
    EXPECT_EQ(1, g_Sound.StopStream());
    EXPECT_EQ(1, g_nextCalls.load());
    ExpectNoFillThread();
}

// The caller loads new music while the last piece, ended by itself, waits for
// its teardown: with the fill thread about to look at the stop, or inside the
// teardown. The teardown must not take the new piece's events, buffer or slot
// with it, and the load must not find the old piece in its way.
TEST_F(ThreadMeetingTest, LoadingMusicDuringTheLastPiecesTeardownKeepsTheNewOne) {
    Bytes second = Pattern(22050 * 3, 2);
    for (uint8_t& byte : second)
        byte ^= 0x33;
    std::string next = WriteTemp("second.wav", Wav(2, 22050, 16, second));

    unsigned long id = 0;
    for (HookPoint moment : {HookPoint::FillStopSeen, HookPoint::StreamReleasing}) {
        SCOPED_TRACE(moment == HookPoint::FillStopSeen ? "at the stop" : "in the teardown");
        g_nextCalls = 0;
        steps_.Hold(moment, NotThread(GetCurrentThreadId()));
        DWORD fill = PlayToTheEnd(++id, false);
        ASSERT_TRUE(steps_.Reached(moment, Thread(fill)));
        size_t mark = steps_.Mark();
        int loaded = -1;
        Helper load([&] { loaded = g_Sound.LoadStream(next.data(), id + 10); });
        // The load waits for the teardown (or for the lock), or is done.
        ASSERT_TRUE(Eventually([&] {
            return load.Finished() ||
                   steps_.HasReached(HookPoint::LoadStreamWaits, Thread(load.Id()), mark) ||
                   steps_.HasReached(HookPoint::SoundLocking, Thread(load.Id()), mark);
        }));
        steps_.Release(moment);
        ASSERT_TRUE(load.Join());
        ASSERT_TRUE(WaitFor([&] { return g_nextCalls == 1; }));
        EXPECT_EQ(id, g_nextId.load());

        ASSERT_EQ(1, loaded);
        ASSERT_EQ(1, g_Sound.PlayStream(4));
        ASSERT_TRUE(PlaysOnItsThread(id + 10));
        std::vector<int16_t> heard;
        for (int i = 0; i < 3; ++i) {
            DWORD left = Stream().dwBytesLeft;
            std::vector<int16_t> out = Pump(kSegmentFrames);
            heard.insert(heard.end(), out.begin(), out.end());
            ASSERT_TRUE(WaitFor([&] { return Stream().dwBytesLeft != left; }));
        }
        std::vector<int16_t> file = Samples16(second);
        for (size_t i = 0; i < heard.size(); ++i)
            ASSERT_EQ(file[i], heard[i]) << "sample " << i;
        EXPECT_EQ(1, g_Sound.StopStream());
        EXPECT_EQ(nullptr, Stream().pSample.load());
        ExpectNoFillThread();
    }
}

// One stream at a time: a second load while a piece plays, is paused or was
// never played is refused and leaves that piece as it was.
TEST_F(ThreadMeetingTest, ASecondLoadIsRefusedWhileAStreamIsThere) {
    std::string other = WriteTemp("other.wav", Music(22050 * 3, 0x21));
    ASSERT_EQ(1, LoadMusic(Music(22050 * 3), 1));
    HANDLE thread = ZQSound::g_FillThread;
    EXPECT_EQ(0, g_Sound.LoadStream(other.data(), 2));
    ASSERT_EQ(1, g_Sound.PlayStream(4));
    EXPECT_EQ(0, g_Sound.LoadStream(other.data(), 2));
    EXPECT_EQ(1, g_Sound.PauseStream());
    EXPECT_EQ(0, g_Sound.LoadStream(other.data(), 2));
    EXPECT_EQ(1, g_Sound.PauseStream());
    EXPECT_EQ(thread, ZQSound::g_FillThread.load());
    EXPECT_TRUE(PlaysOnItsThread(1));
    for (int i = 0; i < PoolSize(); ++i)
        EXPECT_EQ(i == 0, (Slot(i)->dwFlags & SND_INUSE) != 0) << "slot " << i;
    EXPECT_EQ(1, g_Sound.StopStream());
    EXPECT_EQ(1, g_Sound.LoadStream(other.data(), 2));
}
