// Chains from two threads: the callback thread starts a chain's next sample
// while the caller's thread empties the list or frees samples.
#include "meeting_fixture.h"

using namespace soundtest;

// Emptying the list stops a chained sample, which wakes the callback thread to
// start the next one: the next one's buffer is being released by the same pass.
TEST_F(ThreadMeetingTest, EmptyingTheListWhileAChainFiresPlaysNothing) {
    ASSERT_EQ(1, Load("a.wav", Clip(), 10));
    ASSERT_EQ(1, Load("b.wav", Wav(1, 22050, 16, Pattern(22050, 1)), 11));
    SNDSample::ChainSample(Slot(0), Slot(1));
    ASSERT_EQ(Slot(0), g_Sound.PlaySample(10, 65535, 32768));
    ASSERT_TRUE(Slot(0)->dwFlags & SND_CHAINED);

    DWORD self = GetCurrentThreadId();
    steps_.Hold(HookPoint::ClearListStopped, NotThread(self));
    steps_.Hold(HookPoint::SamplePlayChecked, NotThread(self));
    size_t mark = steps_.Mark();
    Helper clear([] { ZQSound::ClearSampleList(); });
    ASSERT_TRUE(steps_.Reached(HookPoint::ClearListStopped, Thread(clear.Id()), mark));
    // The stop woke the callback thread: it starts the next sample, or waits
    // for the pass to end.
    ASSERT_NE(-1, steps_.ReachedAny({HookPoint::SamplePlayChecked, HookPoint::SoundLocking},
                                    NotThread(clear.Id()), mark));
    steps_.Release(HookPoint::ClearListStopped);
    ASSERT_TRUE(Eventually([&] {
        return clear.Finished() ||
               steps_.HasReached(HookPoint::SoundLocking, Thread(clear.Id()), mark);
    }));
    steps_.Release(HookPoint::SamplePlayChecked);
    ASSERT_TRUE(clear.Join());

    // Every entry comes back and nothing sounds.
    ASSERT_TRUE(WaitFor([&] {
        for (int i = 1; i < ZQSound::g_nMaxEventCount; ++i)
            if (ZQSound::g_EventList[i].pSample.load()) return false;
        return true;
    }));
    for (int i = 0; i < PoolSize(); ++i)
        EXPECT_EQ(0u, Slot(i)->dwFlags.load()) << "slot " << i;
    EXPECT_TRUE(Silent(Pump(3000)));
}

// The chain's next sample is freed while its first one ends: the callback
// thread must not start it through its released buffer.
TEST_F(ThreadMeetingTest, FreeingTheNextSampleWhileItStartsIsSafe) {
    ASSERT_EQ(1, Load("a.wav", Clip(), 10));
    ASSERT_EQ(1, Load("b.wav", Wav(1, 22050, 16, Pattern(22050, 1)), 11));
    SNDSample* first = Slot(0);
    SNDSample* next = Slot(1);
    SNDSample::ChainSample(first, next);
    ASSERT_EQ(first, g_Sound.PlaySample(10, 65535, 32768));

    DWORD self = GetCurrentThreadId();
    steps_.Hold(HookPoint::SamplePlayChecked, NotThread(self));
    Pump(2206); // the first ends; the callback thread starts the next
    ASSERT_TRUE(steps_.Reached(HookPoint::SamplePlayChecked, NotThread(self)));
    size_t mark = steps_.Mark();
    Helper release([next] { g_Sound.FreeSample(next); });
    ASSERT_TRUE(Eventually([&] {
        return release.Finished() ||
               steps_.HasReached(HookPoint::SoundLocking, Thread(release.Id()), mark);
    }));
    steps_.Release(HookPoint::SamplePlayChecked);
    ASSERT_TRUE(release.Join());

    ASSERT_TRUE(WaitFor([&] { return !(first->dwFlags & SND_CHAINED); }));
    EXPECT_EQ(0u, next->dwFlags.load());
    EXPECT_EQ(nullptr, next->lpBuffer);
    EXPECT_TRUE(Silent(Pump(3000)));
}

// A freed next sample's slot taken by a new sound: the chain that pointed at
// the old one must not start the newcomer.
TEST_F(ThreadMeetingTest, AChainNeverStartsASoundThatTookItsNextSamplesSlot) {
    ASSERT_EQ(1, Load("a.wav", Clip(), 10));
    ASSERT_EQ(1, Load("b.wav", Clip(), 11));
    SNDSample::ChainSample(Slot(0), Slot(1));
    ASSERT_EQ(Slot(0), g_Sound.PlaySample(10, 65535, 32768));

    DWORD self = GetCurrentThreadId();
    steps_.Hold(HookPoint::CallbackWoken, NotThread(self));
    Pump(2206);
    ASSERT_TRUE(steps_.Reached(HookPoint::CallbackWoken, NotThread(self)));
    g_Sound.FreeSample(11ul);
    ASSERT_EQ(1, Load("c.wav", Wav(1, 22050, 16, Pattern(22050, 1)), 12));
    ASSERT_EQ(Slot(1), g_Sound.FindSampleID(12));
    steps_.Release(HookPoint::CallbackWoken);

    ASSERT_TRUE(WaitFor([&] { return !(Slot(0)->dwFlags & SND_CHAINED); }));
    EXPECT_FALSE(Slot(1)->SamplePlaying());
    EXPECT_TRUE(Silent(Pump(3000)));
}

// A chained sample stopped by emptying the list, its slot at once reloaded and
// chained again: the old stop must not start the new chain early.
TEST_F(ThreadMeetingTest, AStopFromBeforeTheListWasEmptiedStartsNoNewChain) {
    ASSERT_EQ(1, Load("a.wav", Clip(), 10));
    ASSERT_EQ(1, Load("b.wav", Clip(), 11));
    SNDSample::ChainSample(Slot(0), Slot(1));
    ASSERT_EQ(Slot(0), g_Sound.PlaySample(10, 65535, 32768));

    DWORD self = GetCurrentThreadId();
    steps_.Hold(HookPoint::CallbackWoken, NotThread(self));
    ZQSound::ClearSampleList();
    ASSERT_TRUE(steps_.Reached(HookPoint::CallbackWoken, NotThread(self)));
    ASSERT_EQ(1, Load("x.wav", Wav(1, 22050, 16, Pattern(22050, 1)), 20));
    ASSERT_EQ(1, Load("y.wav", Clip(), 21));
    SNDSample* x = Slot(0);
    SNDSample* y = Slot(1);
    SNDSample::ChainSample(x, y);
    ASSERT_EQ(x, g_Sound.PlaySample(20, 65535, 32768));
    steps_.Release(HookPoint::CallbackWoken);

    // Time for a wrongly woken chain to start; it must not.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(x->SamplePlaying());
    EXPECT_FALSE(y->SamplePlaying());
    EXPECT_TRUE(x->dwFlags & SND_CHAINED);
    // Its own end starts it.
    Pump(22051);
    ASSERT_TRUE(WaitFor([&] { return y->SamplePlaying() != 0; }));
}

// A sample played once with a chain and again without one: its stop must not
// signal the entry its old chain used, which by now serves another chain.
TEST_F(ThreadMeetingTest, APlayWithoutAChainStartsNoOtherChain) {
    ASSERT_EQ(1, Load("a.wav", Clip(), 10));
    ASSERT_EQ(1, Load("b.wav", Clip(), 11));
    ASSERT_EQ(1, Load("c.wav", Wav(1, 22050, 16, Pattern(22050, 1)), 12));
    ASSERT_EQ(1, Load("d.wav", Clip(), 13));
    SNDSample* a = Slot(0);
    SNDSample* b = Slot(1);
    SNDSample* c = Slot(2);
    SNDSample* d = Slot(3);
    SNDSample::ChainSample(a, b);
    ASSERT_EQ(a, g_Sound.PlaySample(10, 65535, 32768));
    Pump(2206);
    ASSERT_TRUE(WaitFor([&] { return b->SamplePlaying() && !(a->dwFlags & SND_CHAINED); }));
    Pump(2206);

    // The entry a's chain used now serves c's; a plays once, unchained.
    SNDSample::ChainSample(c, d);
    ASSERT_EQ(c, g_Sound.PlaySample(12, 65535, 32768));
    EXPECT_EQ(1, g_Sound.PlaySampleIDOnce(10, 65535, 32768));
    Pump(2206);
    EXPECT_FALSE(a->SamplePlaying());
    // Time for a wrongly woken chain to start; it must not.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(c->dwFlags & SND_CHAINED);
    EXPECT_FALSE(d->SamplePlaying());
    Pump(22051 - 2206);
    ASSERT_TRUE(WaitFor([&] { return d->SamplePlaying() != 0; }));
}
