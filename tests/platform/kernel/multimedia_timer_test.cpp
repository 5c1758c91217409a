// The multimedia timer on a held clock: periods without drift, one-shots, and
// timeKillEvent's promise that no callback runs after it returns.
#include "sync_test_support.h"

#include <ludora/harness_clock.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

struct Ticks {
    std::atomic<int> count{0};
    std::atomic<UINT> last_id{0};
    std::atomic<DWORD> last_time{0};
};

void CALLBACK count_tick(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* ticks = reinterpret_cast<Ticks*>(user);
    ticks->last_id = id;
    ticks->last_time = timeGetTime();
    ++ticks->count;
}

struct SlowCallback {
    std::atomic<bool> inside{false};
    std::atomic<bool> release{false};
    std::atomic<int> calls{0};
};

void CALLBACK slow_tick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* slow = reinterpret_cast<SlowCallback*>(user);
    ++slow->calls;
    slow->inside = true;
    while (!slow->release)
        std::this_thread::yield();
    slow->inside = false;
}

struct SelfKill {
    std::atomic<UINT> id{0};
    std::atomic<int> calls{0};
    std::atomic<MMRESULT> result{0xFFFF};
};

void CALLBACK kill_self(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* self = reinterpret_cast<SelfKill*>(user);
    ++self->calls;
    self->result = timeKillEvent(id);
}

// Kills its event on the way out of a test, whatever failed, so that no callback
// runs into the test's data after the test has returned. Declared after the
// data its callback uses.
class KillOnExit {
public:
    explicit KillOnExit(UINT id) : id_(id) {}
    ~KillOnExit() {
        if (id_) timeKillEvent(id_);
    }
    KillOnExit(const KillOnExit&) = delete;
    KillOnExit& operator=(const KillOnExit&) = delete;

private:
    UINT id_;
};

class MultimediaTimer : public ::testing::Test {
protected:
    void SetUp() override { LudoraHoldClock(); }
    void TearDown() override { LudoraReleaseClock(); }
};

} // namespace

TEST_F(MultimediaTimer, CapabilitiesAndPeriods) {
    TIMECAPS caps{};
    EXPECT_EQ(timeGetDevCaps(&caps, sizeof caps), MMRESULT(TIMERR_NOERROR));
    EXPECT_EQ(caps.wPeriodMin, 1u);
    EXPECT_EQ(caps.wPeriodMax, 1000000u);
    EXPECT_EQ(timeBeginPeriod(10), MMRESULT(TIMERR_NOERROR));
    EXPECT_EQ(timeEndPeriod(10), MMRESULT(TIMERR_NOERROR));
    EXPECT_EQ(timeBeginPeriod(0), MMRESULT(TIMERR_NOCANDO));
    Ticks ticks;
    EXPECT_EQ(timeSetEvent(0, 5, count_tick, DWORD_PTR(&ticks), TIME_PERIODIC), 0u);
    EXPECT_EQ(timeSetEvent(10, 5, nullptr, 0, TIME_PERIODIC), 0u);
    EXPECT_EQ(timeKillEvent(123456), MMRESULT(MMSYSERR_INVALPARAM));
}

TEST_F(MultimediaTimer, APeriodicEventKeepsItsPeriodWithoutDrift) {
    Ticks ticks;
    const DWORD start = timeGetTime();
    const UINT id = timeSetEvent(10, 5, count_tick, DWORD_PTR(&ticks), TIME_PERIODIC);
    const KillOnExit kill_on_exit(id);
    ASSERT_NE(id, 0u);
    LudoraAdvanceClock(9);
    settle();
    EXPECT_EQ(ticks.count.load(), 0);

    // Hand-advanced in uneven steps, the count is always the time passed / 10.
    DWORD advanced = 9;
    for (DWORD step : {1u, 7u, 13u, 10u, 3u, 27u, 30u}) {
        LudoraAdvanceClock(step);
        advanced += step;
        const int expected = static_cast<int>(advanced / 10);
        EXPECT_TRUE(eventually([&] { return ticks.count.load() >= expected; }));
        EXPECT_EQ(ticks.count.load(), expected);
    }
    // A long stall is caught up, tick for tick.
    LudoraAdvanceClock(1000);
    advanced += 1000;
    EXPECT_TRUE(eventually([&] { return ticks.count.load() >= int(advanced / 10); }));
    settle();
    EXPECT_EQ(ticks.count.load(), int(advanced / 10));
    EXPECT_EQ(ticks.last_id.load(), id);
    EXPECT_EQ(ticks.last_time.load() - start, advanced);

    EXPECT_EQ(timeKillEvent(id), MMRESULT(TIMERR_NOERROR));
    const int after_kill = ticks.count.load();
    LudoraAdvanceClock(100);
    settle();
    EXPECT_EQ(ticks.count.load(), after_kill);
    EXPECT_EQ(timeKillEvent(id), MMRESULT(MMSYSERR_INVALPARAM));
}

TEST_F(MultimediaTimer, AOneShotEventFiresOnce) {
    Ticks ticks;
    const UINT id = timeSetEvent(25, 0, count_tick, DWORD_PTR(&ticks), TIME_ONESHOT);
    const KillOnExit kill_on_exit(id);
    ASSERT_NE(id, 0u);
    LudoraAdvanceClock(24);
    settle();
    EXPECT_EQ(ticks.count.load(), 0);
    LudoraAdvanceClock(1);
    EXPECT_TRUE(eventually([&] { return ticks.count.load() == 1; }));
    LudoraAdvanceClock(100);
    settle();
    EXPECT_EQ(ticks.count.load(), 1);
    EXPECT_EQ(timeKillEvent(id), MMRESULT(MMSYSERR_INVALPARAM));
}

TEST_F(MultimediaTimer, KillWaitsForARunningCallback) {
    SlowCallback slow;
    const UINT id = timeSetEvent(10, 0, slow_tick, DWORD_PTR(&slow), TIME_PERIODIC);
    const KillOnExit kill_on_exit(id);
    // On the way out the callback is let go first, so no kill waits for ever.
    struct ReleaseOnExit {
        SlowCallback& slow;
        ~ReleaseOnExit() { slow.release = true; }
    };
    const ReleaseOnExit release_on_exit{slow};
    LudoraAdvanceClock(10);
    ASSERT_TRUE(eventually([&] { return slow.inside.load(); }));

    std::atomic<bool> killed{false};
    std::atomic<bool> inside_when_killed{true};
    std::jthread killer([&] {
        timeKillEvent(id);
        inside_when_killed = slow.inside.load();
        killed = true;
    });
    const ReleaseOnExit release_before_join{slow};
    settle();
    EXPECT_FALSE(killed.load()); // still inside the callback
    LudoraAdvanceClock(50);
    slow.release = true;
    killer.join();
    EXPECT_FALSE(inside_when_killed.load());
    const int calls = slow.calls.load();
    LudoraAdvanceClock(100);
    settle();
    EXPECT_EQ(slow.calls.load(), calls);
}

TEST_F(MultimediaTimer, ACallbackMayKillItsOwnEvent) {
    SelfKill self;
    Ticks other;
    const UINT id = timeSetEvent(10, 0, kill_self, DWORD_PTR(&self), TIME_PERIODIC);
    const KillOnExit kill_self_on_exit(id);
    const UINT other_id = timeSetEvent(10, 0, count_tick, DWORD_PTR(&other), TIME_PERIODIC);
    const KillOnExit kill_other_on_exit(other_id);
    self.id = id;
    LudoraAdvanceClock(10);
    ASSERT_TRUE(eventually([&] { return self.calls.load() == 1 && other.count.load() == 1; }));
    EXPECT_EQ(self.result.load(), MMRESULT(TIMERR_NOERROR));
    // The timer thread goes on serving the other event.
    LudoraAdvanceClock(30);
    EXPECT_TRUE(eventually([&] { return other.count.load() == 4; }));
    EXPECT_EQ(self.calls.load(), 1);
    timeKillEvent(other_id);
}

// The timer thread reads the clock, then waits for the next due time. A hand
// advance landing between the two must not push the due time back by the
// advance: every event set just before an advance fires with it.
TEST_F(MultimediaTimer, AnAdvanceDuringTheTimersOwnReadingIsNotLost) {
    Ticks ticks;
    for (int round = 1; round <= 300; ++round) {
        const UINT id = timeSetEvent(10, 0, count_tick, DWORD_PTR(&ticks), TIME_ONESHOT);
        const KillOnExit kill_on_exit(id);
        ASSERT_NE(id, 0u);
        // The advance sweeps across the timer thread's wake-up, a little later each round.
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start < std::chrono::microseconds(round % 60))
            LudoraClockMs();
        LudoraAdvanceClock(10);
        ASSERT_TRUE(eventually([&] { return ticks.count.load() == round; }, 2000))
            << "round " << round;
    }
}
