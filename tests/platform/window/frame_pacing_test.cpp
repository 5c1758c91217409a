// Presentation at the refresh, on a clock held by the test: the pacer asks to
// sleep until each refresh and never lets late frames catch up in a burst.
#include "window/frame_pacer.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ludora::window;
using Clock = FramePacer::Clock;
using std::chrono::microseconds;

namespace {

// A clock that moves only when the pacer sleeps or the test says so.
struct HeldClock {
    Clock::time_point now{};
    std::vector<Clock::time_point> sleeps;
    FramePacer pacer{[this] { return now; },
                     [this](Clock::time_point until) {
                         sleeps.push_back(until);
                         if (until > now) now = until;
                     }};
};

} // namespace

TEST(FramePacer, AFastProgramShowsOneFramePerRefresh) {
    HeldClock clock;
    clock.now += microseconds(1'000'000);
    const Clock::time_point start = clock.now;
    // 50 Hz: 20 ms apart. The first frame is shown at once.
    clock.pacer.wait_for_refresh(50);
    EXPECT_TRUE(clock.sleeps.empty());
    for (int frame = 1; frame <= 5; ++frame) {
        clock.now += microseconds(3000); // drawing takes 3 ms
        clock.pacer.wait_for_refresh(50);
        ASSERT_EQ(clock.sleeps.size(), size_t(frame));
        EXPECT_EQ(clock.sleeps.back(), start + microseconds(20'000 * frame));
    }
}

TEST(FramePacer, ALateFrameStartsTheCountAgain) {
    HeldClock clock;
    clock.pacer.wait_for_refresh(100); // 10 ms apart
    clock.now += microseconds(4000);
    clock.pacer.wait_for_refresh(100);
    ASSERT_EQ(clock.sleeps.size(), 1u);
    const Clock::time_point second = clock.sleeps.back();
    // A stall of 35 ms: the next frame goes out at once, with no burst after it.
    clock.now = second + microseconds(35'000);
    const Clock::time_point late = clock.now;
    clock.pacer.wait_for_refresh(100);
    EXPECT_EQ(clock.sleeps.size(), 1u);
    clock.now += microseconds(1000);
    clock.pacer.wait_for_refresh(100);
    ASSERT_EQ(clock.sleeps.size(), 2u);
    EXPECT_EQ(clock.sleeps.back(), late + microseconds(10'000));
}

TEST(FramePacer, AnUnknownRefreshRateIsSixtyHertz) {
    HeldClock clock;
    clock.pacer.wait_for_refresh(0);
    const Clock::time_point first = clock.now;
    clock.pacer.wait_for_refresh(-5);
    ASSERT_EQ(clock.sleeps.size(), 1u);
    EXPECT_EQ(clock.sleeps.back() - first, std::chrono::nanoseconds(1'000'000'000 / 60));
}
