#include <ludora/harness_clock.h>

#include <gtest/gtest.h>

#include <atomic>
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
