// Sprites on the program's real 10 ms clock, its timer driven by hand.
#include "picture_fixture.h"

#include "shell/core/tick_clock.h"
#include "ui/pictures/sprite.h"

#include <ludora/harness_clock.h>

#include <chrono>
#include <thread>

using namespace picturetest;

namespace {

class SpriteOnTheClock : public PictureTest {
protected:
    void SetUp() override {
        PictureTest::SetUp();
        LudoraHoldClock();
        ASSERT_EQ(g_TickClock.StartClock(), 0);
        ASSERT_NE(g_TickClock.timerId, 0u);
        for (int i = 0; i < 3; ++i)
            sprite.AddFrame(MakeSurface(2, 2));
    }
    void TearDown() override {
        g_TickClock.StopClock();
        LudoraReleaseClock();
        PictureTest::TearDown();
    }
    // Moves the layer's clock on by one tick and waits until the timer thread counted it.
    static void Tick() {
        const int32_t target = g_TickClock.Now() + 10;
        LudoraAdvanceClock(10);
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (g_TickClock.Now() < target && std::chrono::steady_clock::now() < limit)
            std::this_thread::yield();
        ASSERT_GE(g_TickClock.Now(), target);
    }
    Sprite sprite;
};

TEST_F(SpriteOnTheClock, AnimateStepsOnceMoreThanTheIntervalHasPassed) {
    sprite.SetInterval(25);
    sprite.SetEndMode(SpriteLoop);
    sprite.SetPlaying(1);
    sprite.lastStep = g_TickClock.Now();
    // Ticks of 10 ms: steps after 30, 60 and 90 ms, looping back to frame 0.
    const int32_t expected[9] = {0, 0, 1, 1, 1, 2, 2, 2, 0};
    for (int32_t frame : expected) {
        Tick();
        sprite.Animate();
        EXPECT_EQ(sprite.CurrentFrame(), frame) << "at " << g_TickClock.Now();
    }
}

TEST_F(SpriteOnTheClock, StepOnceWaitsForTheDueTime) {
    sprite.SetInterval(20);
    sprite.lastStep = g_TickClock.Now();
    EXPECT_EQ(sprite.StepOnce(), 1);
    EXPECT_EQ(sprite.CurrentFrame(), 1);
    Tick();
    EXPECT_EQ(sprite.StepOnce(), 0);
    Tick();
    EXPECT_EQ(sprite.StepOnce(), 1);
    EXPECT_EQ(sprite.CurrentFrame(), 2);
}

} // namespace
