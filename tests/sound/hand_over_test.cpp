// From one piece of music to the next, and everything that may arrive while
// the fill thread hands over.
#include "meeting_fixture.h"

using namespace soundtest;

// The hand-over from one piece to the next: the fill thread of a piece that
// ended by itself tears it down and its next function loads and starts the
// next piece. Exit, music off and StopStream can arrive at any point of it:
// while the fill thread is about to tear down (held at its stop), or while
// the next function runs (held at its gate).
class HandOverTest : public ThreadMeetingTest {
protected:
    enum class Moment { AtTheStop, InTheNextFunction };

    // Starts the hand-over and holds it at `moment`; answers the fill thread.
    DWORD BeginHandOver(Moment moment) {
        g_nextCalls = 0;
        g_nextLoaded = -1;
        g_atGate = 0;
        g_nextMusic = WriteTemp("next.wav", Music(22050 * 3, 0x5A));
        if (moment == Moment::InTheNextFunction) CloseGate();
        DWORD fill = PlayToTheEnd(1, moment == Moment::AtTheStop);
        if (moment == Moment::InTheNextFunction) {
            EXPECT_TRUE(Eventually([] { return g_atGate == 1; }));
        }
        return fill;
    }

    // Lets the hand-over go on once `caller` is waiting for the fill thread
    // (or is done without it).
    void ContinueHandOver(Moment moment, Helper& caller, size_t mark) {
        EXPECT_TRUE(Eventually([&] {
            return caller.Finished() ||
                   steps_.HasReached(HookPoint::StreamThreadJoin, Thread(caller.Id()), mark);
        }));
        if (moment == Moment::AtTheStop) steps_.Release(HookPoint::FillStopSeen);
        OpenGate();
    }

    static const char* Name(Moment moment) {
        return moment == Moment::AtTheStop ? "at the stop" : "in the next function";
    }
};

TEST_F(HandOverTest, ExitDuringTheHandOverEndsEverything) {
    for (Moment moment : {Moment::AtTheStop, Moment::InTheNextFunction}) {
        SCOPED_TRACE(Name(moment));
        BeginHandOver(moment);
        size_t mark = steps_.Mark();
        Helper exit([] { g_Sound.Exit(); });
        ContinueHandOver(moment, exit, mark);
        ASSERT_TRUE(exit.Join());

        EXPECT_EQ(1, g_nextCalls.load());
        EXPECT_EQ(1u, g_nextId.load());
        EXPECT_EQ(0, g_nextLoaded.load()); // a program that is leaving loads no more music
        EXPECT_EQ(nullptr, Stream().pSample.load());
        EXPECT_EQ(0u, Stream().dwFlags.load());
        ExpectNoFillThread();
        EXPECT_EQ(nullptr, ZQSound::GetDSObject());
        ASSERT_EQ(1, g_Sound.Init(nullptr, PoolSize()));
    }
}

TEST_F(HandOverTest, MusicOffDuringTheHandOverLeavesNoMusicPlaying) {
    for (Moment moment : {Moment::AtTheStop, Moment::InTheNextFunction}) {
        SCOPED_TRACE(Name(moment));
        BeginHandOver(moment);
        size_t mark = steps_.Mark();
        Helper off([] { g_Sound.EnableMusic(0); });
        ContinueHandOver(moment, off, mark);
        ASSERT_TRUE(off.Join());
        ASSERT_TRUE(WaitFor([] { return g_nextLoaded != -1; }));

        EXPECT_EQ(1, g_nextCalls.load());
        EXPECT_EQ(0, g_nextLoaded.load());
        EXPECT_EQ(0, g_Sound.m_bMusic.load());
        EXPECT_FALSE(Stream().dwFlags & STREAM_PLAYING);
        EXPECT_TRUE(Silent(Pump(3000)));
        g_Sound.EnableMusic(1);
    }
}

TEST_F(HandOverTest, StopStreamDuringTheHandOverLetsTheNextPiecePlayOnItsThread) {
    for (Moment moment : {Moment::AtTheStop, Moment::InTheNextFunction}) {
        SCOPED_TRACE(Name(moment));
        BeginHandOver(moment);
        size_t mark = steps_.Mark();
        Helper stop([] { EXPECT_EQ(1, g_Sound.StopStream()); });
        ContinueHandOver(moment, stop, mark);
        ASSERT_TRUE(stop.Join());

        // The stopped piece's next function started the next piece, which
        // plays on with a fill thread of its own.
        ASSERT_TRUE(WaitFor([&] { return PlaysOnItsThread(2); }));
        EXPECT_EQ(1, g_nextCalls.load());
        EXPECT_EQ(1, g_nextLoaded.load());
        std::vector<int16_t> heard = Pump(kSegmentFrames);
        EXPECT_FALSE(Silent(heard));
        EXPECT_EQ(1, g_Sound.StopStream());
        EXPECT_EQ(nullptr, Stream().pSample.load());
        ExpectNoFillThread();
    }
}

namespace {

std::atomic<int> g_exitsFromNext{0};

void ExitFromNext(unsigned long id) {
    ++g_nextCalls;
    g_Sound.Exit();
    ++g_exitsFromNext;
}

} // namespace

// A program may leave from its next function: Exit runs on the fill thread
// that called it and must not wait for that thread.
TEST_F(HandOverTest, ExitFromTheNextFunctionEndsEverything) {
    g_Sound.SetStreamNextFunc(ExitFromNext);
    PlayToTheEnd(1, false);
    ASSERT_TRUE(Eventually([] { return g_exitsFromNext == 1; }));
    EXPECT_EQ(1, g_nextCalls.load());
    EXPECT_EQ(nullptr, Stream().pSample.load());
    EXPECT_EQ(nullptr, ZQSound::GetDSObject());
    EXPECT_EQ(nullptr, ZQSound::g_FillThread.load());
    ASSERT_EQ(1, g_Sound.Init(nullptr, PoolSize()));
}
