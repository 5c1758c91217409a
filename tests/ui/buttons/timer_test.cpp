// The parts that run on the clock's timer thread: the pointer's device poll
// and the modal screen's deadline. The layer clock is held and moved by hand.
#include "buttons_test_support.h"

#include <chrono>
#include <thread>

#include <ludora/harness_clock.h>
#include <ludora/harness_window.h>

#include "zq.h"

#include "shell/core/tick_clock.h"
#include "ui/buttons/menu_screen.h"
#include "ui/buttons/pointer.h"

namespace {

using namespace buttontest;

class OnTheTimer : public ButtonsTest {
protected:
    void SetUp() override {
        ButtonsTest::SetUp();
        LudoraHoldClock();
        g_TickClock.StartClock();
    }
    void TearDown() override {
        g_TickClock.StopClock();
        g_TickClock.SetTickHook(nullptr);
        LudoraReleaseClock();
        ButtonsTest::TearDown();
    }
    // Moves the layer clock one tick and waits (in real time, briefly) until
    // the timer thread has counted it and `done` holds.
    template <typename Done> bool Tick(Done done) {
        const int32_t due = g_TickClock.Now() + 10;
        LudoraAdvanceClock(10);
        for (int i = 0; i < 2000; ++i) {
            if (g_TickClock.Now() >= due && done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
};

TEST_F(OnTheTimer, TheDevicePollCountsNewPressesAsPendingClicks) {
    ASSERT_EQ(ZQInitMouse(), 1);
    ASSERT_EQ(ZQAcquireMouse(1), 1);
    g_TickClock.SetTickHook(PollPointerDevice);
    LudoraPostMouseButton(0, 1);
    Pump();
    ASSERT_TRUE(Tick([] { return g_Pointer.pendingLeft.load() == 1; }));
    ASSERT_TRUE(Tick([] { return true; }));
    EXPECT_EQ(g_Pointer.pendingLeft.load(), 1); // held over a tick: still one
    LudoraPostMouseButton(0, 0);
    Pump();
    ASSERT_TRUE(Tick([] { return g_Pointer.Buttons() == 0; }));
    LudoraPostMouseButton(0, 1);
    LudoraPostMouseButton(1, 1);
    Pump();
    ASSERT_TRUE(Tick([] { return g_Pointer.pendingRight.load() == 1; }));
    EXPECT_EQ(g_Pointer.pendingLeft.load(), 2);
    EXPECT_EQ(g_Pointer.Read().pendingLeft, 1);
}

// Moves the clock one tick in every frame.
class TickingScreen : public MenuScreen {
public:
    int Poll(int32_t x, int32_t y, int32_t buttons) override {
        if (++frames > 50 || !tick()) return 0;
        return MenuScreen::Poll(x, y, buttons);
    }
    std::function<bool()> tick;
    int frames = 0;
};

TEST_F(OnTheTimer, ADeadlineWithNoInputEndsTheLoopWithAnEmptyResult) {
    WriteBmp("popup.bmp", 40, 20, [](int, int) { return Yellow; });
    TickingScreen screen;
    screen.tick = [this] { return Tick([] { return true; }); };
    screen.AddBackground("popup.bmp", nullptr);
    screen.AddFullScreenButton();
    screen.SetDeadline(g_TickClock.Now() + 50);
    char result[256] = "untouched";
    EXPECT_NE(screen.Run(result, nullptr), 0);
    EXPECT_STREQ(result, "");
    EXPECT_EQ(screen.frames, 5); // the fifth frame's tick reaches the deadline
}

} // namespace
