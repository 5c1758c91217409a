#include <ludora/harness_clock.h>
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <thread>

TEST(LayerClock, HeldClockMovesOnlyByHand) {
    LudoraHoldClock();
    const uint32_t start = LudoraClockMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    EXPECT_EQ(LudoraClockMs(), start);
    LudoraAdvanceClock(250);
    EXPECT_EQ(LudoraClockMs(), start + 250);
    LudoraReleaseClock();
    EXPECT_GE(LudoraClockMs(), start + 250);
}

// The milliseconds count from the machine's start, as Windows' do: a program's
// first two seconds already see a clock far past zero. The uptime is read from
// /proc, apart from the clock the layer reads it with.
TEST(LayerClock, CountsFromTheMachinesStart) {
    std::ifstream proc("/proc/uptime");
    double uptime_seconds = 0;
    if (!(proc >> uptime_seconds)) GTEST_SKIP() << "no /proc/uptime";
    const uint32_t uptime_ms = static_cast<uint32_t>(uint64_t(uptime_seconds * 1000.0));
    const uint32_t now = timeGetTime();
    const int32_t ahead = static_cast<int32_t>(now - uptime_ms);
    // Ahead by the hand advances of the tests before this one, if any; /proc
    // rounds to hundredths.
    EXPECT_GT(ahead, -1000);
    EXPECT_LT(ahead, 5000);
    const int32_t tick_apart = static_cast<int32_t>(GetTickCount() - timeGetTime());
    EXPECT_LE(std::abs(tick_apart), 1);
}
