// The pool from two threads: the fill thread takes and gives back slots while
// the caller's thread loads, duplicates and frees.
#include "meeting_fixture.h"

using namespace soundtest;

// The fill thread's next function loads the next piece while the caller's
// thread plays a sound that needs a duplicate: both take a slot of the pool
// at once, and each must get a slot of its own.
TEST_F(ThreadMeetingTest, TwoThreadsTakingSlotsAtOnceGetSlotsOfTheirOwn) {
    ASSERT_EQ(1, Load("a.wav", Wav(1, 22050, 16, Pattern(22050, 1)), 10));
    ASSERT_EQ(Slot(0), g_Sound.PlaySample(10, 65535, 32768));
    g_nextMusic = WriteTemp("next.wav", Music(22050 * 3, 0x5A));

    DWORD self = GetCurrentThreadId();
    steps_.Hold(HookPoint::AllocSampleFound, NotThread(self));
    DWORD fill = PlayToTheEnd(1, false);
    // The fill thread tore the piece down and its next function is loading
    // the next one into the slot just freed.
    ASSERT_TRUE(steps_.Reached(HookPoint::AllocSampleFound, Thread(fill)));
    size_t mark = steps_.Mark();
    SNDSample* copy = nullptr;
    Helper play([&] { copy = g_Sound.PlaySample(10, 65535, 32768); });
    ASSERT_TRUE(Eventually([&] {
        return play.Finished() ||
               steps_.HasReached(HookPoint::SoundLocking, Thread(play.Id()), mark);
    }));
    steps_.Release(HookPoint::AllocSampleFound);
    ASSERT_TRUE(play.Join());
    ASSERT_TRUE(WaitFor([&] { return PlaysOnItsThread(2); }));

    ASSERT_NE(nullptr, copy);
    SNDSample* music = Stream().pSample;
    EXPECT_NE(copy, music);
    EXPECT_EQ(10u, copy->dwID);
    EXPECT_EQ(SND_INUSE | SND_DUPLICATE, copy->dwFlags.load());
    EXPECT_EQ(2u, music->dwID);
    EXPECT_NE(copy->lpBuffer, music->lpBuffer);
    EXPECT_EQ(1, g_nextLoaded.load());
}

// A piece ends by itself and its slot is cleared while the caller loads two
// sounds: the range of slots in use must still reach the last one loaded.
TEST_F(ThreadMeetingTest, ClearingASlotWhileTheCallerLoadsKeepsEverySoundFindable) {
    ASSERT_EQ(1, Load("a.wav", Clip(), 10));
    ASSERT_EQ(1, LoadMusic(Music(4000), 1));
    ASSERT_EQ(1, Load("b.wav", Clip(), 11));
    ASSERT_EQ(Slot(1), g_Sound.FindSampleID(1));
    ASSERT_EQ(Slot(3), ZQSound::g_pLastSample.load());

    DWORD fill = ZQSound::g_FillThreadID;
    steps_.Hold(HookPoint::ClearSampleRange, Thread(fill));
    ASSERT_EQ(1, g_Sound.PlayStream(0));
    Pump(kSegmentFrames);
    ASSERT_TRUE(steps_.Reached(HookPoint::ClearSampleRange, Thread(fill)));
    size_t mark = steps_.Mark();
    std::string c = WriteTemp("c.wav", Clip());
    std::string d = WriteTemp("d.wav", Clip());
    int loaded = 0;
    Helper load([&] {
        loaded += g_Sound.LoadSample(c.data(), 12);
        loaded += g_Sound.LoadSample(d.data(), 13);
    });
    ASSERT_TRUE(Eventually([&] {
        return load.Finished() ||
               steps_.HasReached(HookPoint::SoundLocking, Thread(load.Id()), mark);
    }));
    steps_.Release(HookPoint::ClearSampleRange);
    ASSERT_TRUE(load.Join());
    ASSERT_TRUE(WaitFor([&] { return g_nextCalls == 1; }));

    EXPECT_EQ(2, loaded);
    EXPECT_EQ(Slot(1), g_Sound.FindSampleID(12));
    EXPECT_EQ(Slot(3), g_Sound.FindSampleID(13));
    EXPECT_EQ(Slot(4), ZQSound::g_pLastSample.load());
    EXPECT_EQ(Slot(3), g_Sound.PlaySample(13, 65535, 32768));
}
