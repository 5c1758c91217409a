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
