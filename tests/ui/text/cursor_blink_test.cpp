// The block cursor of a focused field blinks on the tick clock: it changes
// phase when its due time has passed and is due again 500 ms later. The
// layer's clock is held and moved by hand; the tick clock's timer thread
// counts the time moved.
#include "text_test_support.h"

#include "shell/core/tick_clock.h"
#include "ui/text/text_field.h"

#include <ludora/harness_clock.h>

#include <chrono>
#include <thread>

namespace {

class CursorBlink : public texttest::TextTest {
protected:
    void SetUp() override {
        TextTest::SetUp();
        LudoraHoldClock();
        ASSERT_EQ(g_TickClock.StartClock(), 0);
    }
    void TearDown() override {
        g_TickClock.StopClock();
        LudoraReleaseClock();
        TextTest::TearDown();
    }
    // Moves the layer clock and waits until the tick clock has counted it.
    static void Advance(int ms) {
        const int32_t target = g_TickClock.Now() + ms;
        LudoraAdvanceClock(uint32_t(ms));
        for (int spins = 0; spins < 5000 && g_TickClock.Now() < target; ++spins)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_GE(g_TickClock.Now(), target);
    }
};

TEST_F(CursorBlink, CursorShowsEveryOther500Milliseconds) {
    // Glyphs 6 wide with no gap; the cursor a red block 4 x 10.
    WriteBmp("font.bmp", texttest::FontPicture(std::vector<int>(94, 6), 10, texttest::White));
    texttest::Picture cursor(4, 10, testkit::Red);
    WriteBmp("cursor.bmp", cursor);
    BitmapFont font;
    ASSERT_EQ(font.Load("font.bmp"), 1);
    TextField field;
    field.SetCapacity(64);
    field.AttachFont(&font);
    field.SetRect(10, 0, 200, 12);
    field.SetCursor("cursor.bmp");
    field.SetText("ab");
    field.selectable = 0;
    field.SetFocus(1);

    // After the text: 10 + 2 * 6.
    auto cursorShown = [&] {
        IDirectDrawSurface* target = MakeTarget(300, 20);
        field.Draw(target);
        return PixelAt(target, 22, 2) == texttest::Red;
    };
    // The first drawing finds the cursor due and turns it off for 500 ms.
    EXPECT_FALSE(cursorShown());
    Advance(490);
    EXPECT_FALSE(cursorShown());
    Advance(10);
    EXPECT_TRUE(cursorShown());
    Advance(300);
    EXPECT_TRUE(cursorShown());
    Advance(200);
    EXPECT_FALSE(cursorShown());
    Advance(500);
    EXPECT_TRUE(cursorShown());
    // Not focused, or not editable: no cursor whatever the phase.
    field.SetFocus(0);
    Advance(500);
    Advance(500);
    EXPECT_FALSE(cursorShown());
}

} // namespace
