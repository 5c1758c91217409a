// Events and waits: reset modes, wait-any order, wait-all, time-outs on the layer clock.
#include "sync_test_support.h"

#include <ludora/harness_clock.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

class HeldClock : public ::testing::Test {
protected:
    void SetUp() override { LudoraHoldClock(); }
    void TearDown() override { LudoraReleaseClock(); }
};

} // namespace

TEST(Events, ResetModesAndInitialState) {
    HANDLE automatic = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    HANDLE manual = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(automatic, nullptr);
    ASSERT_NE(manual, nullptr);

    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(automatic, 0), DWORD(WAIT_TIMEOUT)); // taken by the first wait

    EXPECT_EQ(WaitForSingleObject(manual, 0), DWORD(WAIT_TIMEOUT));
    EXPECT_TRUE(SetEvent(manual));
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0); // stays set
    EXPECT_TRUE(ResetEvent(manual));
    EXPECT_EQ(WaitForSingleObject(manual, 0), DWORD(WAIT_TIMEOUT));

    EXPECT_TRUE(CloseHandle(automatic));
    EXPECT_TRUE(CloseHandle(manual));
    EXPECT_FALSE(SetEvent(manual));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST(Events, AnAutoResetEventReleasesOneWaiterPerSignal) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] {
            if (WaitForSingleObject(event, INFINITE) == WAIT_OBJECT_0) ++released;
        });
    }
    for (int signal = 1; signal <= 3; ++signal) {
        SetEvent(event);
        EXPECT_TRUE(eventually([&] { return released.load() >= signal; }));
        settle();
        EXPECT_EQ(released.load(), signal);
    }
    for (auto& waiter : waiters)
        waiter.join();
    CloseHandle(event);
}

TEST(Waits, WaitForAnyTakesOnlyTheLowestSignalledObject) {
    HANDLE events[4];
    for (HANDLE& event : events)
        event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    SetEvent(events[3]);
    SetEvent(events[1]);
    EXPECT_EQ(WaitForMultipleObjects(4, events, FALSE, 0), WAIT_OBJECT_0 + 1);
    // Event 3 was not taken by that wait.
    EXPECT_EQ(WaitForMultipleObjects(4, events, FALSE, 0), WAIT_OBJECT_0 + 3);
    EXPECT_EQ(WaitForMultipleObjects(4, events, FALSE, 0), DWORD(WAIT_TIMEOUT));
    for (HANDLE event : events)
        CloseHandle(event);
}

TEST(Waits, WaitForAllTakesEverythingAtOnceAndOnlyWhenAllAreSet) {
    HANDLE automatic = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    HANDLE manual = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE both[2] = {automatic, manual};
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), DWORD(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0); // still set: not taken

    SetEvent(automatic);
    std::atomic<DWORD> result{0xDEAD};
    std::thread waiter([&] { result = WaitForMultipleObjects(2, both, TRUE, INFINITE); });
    settle();
    EXPECT_EQ(result.load(), 0xDEADu);
    SetEvent(manual);
    waiter.join();
    EXPECT_EQ(result.load(), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(automatic, 0), DWORD(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);

    HANDLE twice[2] = {manual, manual};
    EXPECT_EQ(WaitForMultipleObjects(2, twice, TRUE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    CloseHandle(automatic);
    CloseHandle(manual);
}

TEST(Waits, TakeUpToSixtyFourHandles) {
    std::vector<HANDLE> events(MAXIMUM_WAIT_OBJECTS + 1);
    for (HANDLE& event : events)
        event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    SetEvent(events[63]);
    EXPECT_EQ(WaitForMultipleObjects(64, events.data(), FALSE, 0), WAIT_OBJECT_0 + 63);
    EXPECT_EQ(WaitForMultipleObjects(65, events.data(), FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(WaitForMultipleObjects(0, events.data(), FALSE, 0), WAIT_FAILED);
    for (HANDLE event : events)
        CloseHandle(event);
}

TEST_F(HeldClock, TimeOutsFollowTheLayerClock) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<DWORD> result{0xDEAD};
    std::thread waiter([&] { result = WaitForSingleObject(event, 100); });
    settle();
    EXPECT_EQ(result.load(), 0xDEADu);
    LudoraAdvanceClock(99);
    settle();
    EXPECT_EQ(result.load(), 0xDEADu);
    LudoraAdvanceClock(1);
    EXPECT_TRUE(eventually([&] { return result.load() != 0xDEADu; }));
    waiter.join();
    EXPECT_EQ(result.load(), DWORD(WAIT_TIMEOUT));
    CloseHandle(event);
}

TEST_F(HeldClock, SleepAndTickCountFollowTheLayerClock) {
    const DWORD start = GetTickCount();
    EXPECT_EQ(timeGetTime(), start);
    std::atomic<bool> woke{false};
    std::thread sleeper([&] {
        Sleep(50);
        woke = true;
    });
    settle();
    EXPECT_FALSE(woke.load());
    LudoraAdvanceClock(50);
    EXPECT_TRUE(eventually([&] { return woke.load(); }));
    sleeper.join();
    EXPECT_EQ(GetTickCount() - start, 50u);
    EXPECT_EQ(timeGetTime() - start, 50u);
}
