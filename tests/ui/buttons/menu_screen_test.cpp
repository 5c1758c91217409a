// The modal picture screen: where its background goes, and how its loop ends.
#include "buttons_test_support.h"

#include <cstring>

#include <ludora/harness_window.h>

#include "ui/buttons/button.h"
#include "ui/buttons/button_list.h"
#include "ui/buttons/menu_screen.h"
#include "ui/buttons/pointer.h"
#include "ui/pictures/redraw_list.h"

namespace {

using namespace buttontest;

// A screen whose Poll plays the user's part: step(frame) runs in every frame
// after the buttons were updated, and what it does is read in the next frame.
class ScriptedScreen : public MenuScreen {
public:
    int Poll(int32_t x, int32_t y, int32_t buttons) override {
        // A loop that does not end is a failure, not a hang.
        if (++frames > 100 || (step && !step(frames))) return 0;
        return MenuScreen::Poll(x, y, buttons);
    }
    std::function<bool(int frame)> step;
    int frames = 0;
};

class MenuScreens : public ButtonsTest {
protected:
    void SetUp() override {
        ButtonsTest::SetUp();
        WriteBmp("popup.bmp", 101, 51, [](int, int) { return Yellow; });
        WriteBmp("other.bmp", 10, 10, [](int, int) { return Green; });
    }
    // Fills a result buffer with a mark that shows whether Run wrote it.
    static void Mark(char* result) { std::strcpy(result, "untouched"); }
};

TEST_F(MenuScreens, BackgroundIsCentredOnceAndGivesTheButtonsTheirOrigin) {
    ScriptedScreen screen;
    ImageRecord* popup = screen.AddBackground("popup.bmp", nullptr);
    ASSERT_NE(popup, nullptr);
    EXPECT_STREQ(popup->name, "");
    // 320 x 240 screen: 160 - 50 and 120 - 25.
    EXPECT_EQ(screen.backgroundX, 110);
    EXPECT_EQ(screen.backgroundY, 95);
    Button* whole = screen.AddFullScreenButton();
    EXPECT_STREQ(whole->name, "default");
    EXPECT_EQ(whole->originX, 110);
    EXPECT_EQ(whole->hitWidth, 101);

    ImageRecord* other = screen.AddBackground("other.bmp", "other");
    EXPECT_EQ(screen.CurrentBackground(), other);
    EXPECT_EQ(screen.backgroundX, 110); // a stored place stays
    screen.PlaceBackground(135, 153);
    EXPECT_EQ(screen.Buttons()->originX, 135);
    EXPECT_EQ(whole->originY, 153);
    screen.SelectBackground("nothing by that name");
    EXPECT_EQ(screen.CurrentBackground(), popup);
    EXPECT_EQ(screen.FindBackground("other"), other);

    // A missing picture still becomes a (blank) background.
    ImageRecord* missing = screen.AddBackground("missing.bmp", "gone");
    EXPECT_EQ(screen.CurrentBackground(), missing);
    EXPECT_EQ(missing->surface, nullptr);
    screen.Destroy();
    EXPECT_EQ(screen.CurrentBackground(), nullptr);
    screen.Create();
    EXPECT_NE(screen.AddBackground("other.bmp", "again"), nullptr);
}

TEST_F(MenuScreens, AClickAnywhereEndsTheLoopWithTheButtonsName) {
    ScriptedScreen screen;
    screen.AddBackground("popup.bmp", "popup");
    screen.AddFullScreenButton(); // covers the popup, 101 x 51
    screen.AddBackground("other.bmp", "other");
    IDirectDrawSurface* before = MakeTarget(4, 4);
    g_RedrawList.SetBackground(before);
    screen.step = [&](int frame) {
        // Drawn where it was placed, and the repaints come from it while the loop runs.
        EXPECT_EQ(PixelAt(back_, 110, 95), As565(Yellow));
        EXPECT_EQ(g_RedrawList.Background(), screen.CurrentBackground()->surface);
        g_Pointer.SetPosition(150, 100);
        g_Pointer.SetLeft(frame == 1);
        return true;
    };
    char result[256];
    Mark(result);
    EXPECT_NE(screen.Run(result, "popup"), 0);
    EXPECT_STREQ(result, "default");
    EXPECT_EQ(screen.frames, 3); // pressed in the second frame, released in the third
    EXPECT_EQ(g_RedrawList.Background(), before);
}

TEST_F(MenuScreens, TheHotKeyEndsTheLoopUnlessAButtonFiresInTheSameFrame) {
    ScriptedScreen screen;
    screen.AddBackground("popup.bmp", nullptr);
    screen.AddFullScreenButton();
    screen.SetHotKey(VK_SPACE);
    char result[256];
    LudoraPostKey(VK_SPACE, 1);
    EXPECT_NE(screen.Run(result, nullptr), 0);
    EXPECT_STREQ(result, "key");
    EXPECT_EQ(screen.frames, 1);

    // The key goes down in the frame that sees the release inside the picture.
    LudoraPostKey(VK_SPACE, 0);
    Pump();
    screen.frames = 0;
    screen.step = [&](int frame) {
        g_Pointer.SetPosition(150, 100);
        g_Pointer.SetLeft(frame == 1);
        if (frame == 2) LudoraPostKey(VK_SPACE, 1);
        return true;
    };
    EXPECT_NE(screen.Run(result, nullptr), 0);
    EXPECT_STREQ(result, "default");
    EXPECT_EQ(screen.frames, 3);
    LudoraPostKey(VK_SPACE, 0);
    Pump();
}

TEST_F(MenuScreens, AQuitOrAFailedPollEndsTheLoopWithNothingWritten) {
    ScriptedScreen screen;
    screen.AddBackground("popup.bmp", nullptr);
    IDirectDrawSurface* before = MakeTarget(4, 4);
    g_RedrawList.SetBackground(before);
    char result[256];
    Mark(result);
    PostQuitMessage(0);
    EXPECT_EQ(screen.Run(result, nullptr), 0);
    EXPECT_STREQ(result, "untouched");
    EXPECT_EQ(screen.frames, 0);
    EXPECT_EQ(g_RedrawList.Background(), before);
    // Posted again for the loops around this one.
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_QUIT));

    screen.step = [](int frame) { return frame < 2; };
    EXPECT_EQ(screen.Run(result, nullptr), 0);
    EXPECT_STREQ(result, "untouched");
    EXPECT_EQ(screen.frames, 2);
    EXPECT_EQ(g_RedrawList.Background(), before);
}

TEST_F(MenuScreens, AChildScenesButtonsArePolledToo) {
    ScriptedScreen screen;
    screen.AddBackground("popup.bmp", nullptr);
    Scene child;
    auto* close = new Button(0, 0, 10, 10);
    close->SetName("close");
    child.AddButton(close);
    screen.SetChild(&child);
    screen.step = [&](int frame) {
        g_Pointer.SetPosition(5, 5);
        g_Pointer.SetLeft(frame == 1);
        return frame < 5;
    };
    char result[256];
    EXPECT_EQ(screen.Run(result, nullptr), 0); // not polled: no end before the step gives up
    screen.SetPollChild(1);
    screen.frames = 0;
    EXPECT_NE(screen.Run(result, nullptr), 0);
    EXPECT_STREQ(result, "close");
    EXPECT_EQ(screen.frames, 3);
}

TEST_F(MenuScreens, FiredNamesAreCutToTheResultBuffer) {
    ScriptedScreen screen;
    const std::string longName(300, 'n');
    screen.step = [&](int) {
        screen.Fire(longName.c_str());
        return true;
    };
    char result[300];
    std::memset(result, 'x', sizeof result);
    EXPECT_NE(screen.Run(result, nullptr), 0);
    EXPECT_EQ(std::strlen(result), 255u);
    EXPECT_EQ(result[256], 'x');
}

} // namespace
