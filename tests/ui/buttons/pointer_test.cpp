// The pointer: its button queue, its picture drawn over the frame and the
// picture under it put back.
#include "buttons_test_support.h"

#include <ludora/harness_window.h>

#include "zq.h"

#include "ui/buttons/pointer.h"
#include "ui/pictures/redraw_list.h"

namespace {

using namespace buttontest;

class Pointers : public ButtonsTest {};

TEST_F(Pointers, TheQueueShowsAPressAndReleaseBetweenFramesOneFrameAfterTheOther) {
    // Without the queue the press is lost.
    g_Pointer.SetLeft(1);
    g_Pointer.SetLeft(0);
    EXPECT_EQ(g_Pointer.Read().buttons, 0);

    g_Pointer.SetButtonQueue(1);
    LudoraPostMouseMove(40, 30);
    LudoraPostMouseButton(0, 1);
    LudoraPostMouseButton(0, 0);
    LudoraPostMouseButton(1, 1);
    Pump(); // the window procedure feeds the pointer
    const PointerReading first = g_Pointer.Read();
    EXPECT_EQ(first.x, 40);
    EXPECT_EQ(first.y, 30);
    EXPECT_EQ(first.buttons, 1);
    EXPECT_EQ(g_Pointer.Read().buttons, 0);
    EXPECT_EQ(g_Pointer.Read().buttons, 2);
    // A button still held reads as held once the queue is used up.
    EXPECT_EQ(g_Pointer.Read().buttons, 2);
    g_Pointer.SetRight(0);
    EXPECT_EQ(g_Pointer.Read().buttons, 0);
    g_Pointer.SetButtonQueue(0);
    EXPECT_EQ(g_Pointer.buttonQueue, nullptr);
}

TEST_F(Pointers, PendingClicksAreCountedByTheDevicePollAndTakenOnePerRead) {
    ASSERT_EQ(ZQInitMouse(), 1);
    ASSERT_EQ(ZQAcquireMouse(1), 1);
    auto press = [&](int button, int down) {
        LudoraPostMouseButton(button, down);
        Pump();
        g_Pointer.PollDevice();
    };
    press(0, 1);
    EXPECT_EQ(g_Pointer.Buttons(), 1);
    g_Pointer.PollDevice(); // still held: not a new press
    press(0, 0);
    press(0, 1);
    press(1, 1);
    EXPECT_EQ(g_Pointer.pendingLeft.load(), 2);
    EXPECT_EQ(g_Pointer.pendingRight.load(), 1);
    PointerReading reading = g_Pointer.Read();
    EXPECT_EQ(reading.pendingLeft, 1);
    EXPECT_EQ(reading.pendingRight, 0);
    EXPECT_EQ(g_Pointer.Read().pendingLeft, 0);
    EXPECT_EQ(g_Pointer.Read().pendingLeft, 0);

    // Message-driven, or told not to poll: the device is left alone.
    press(0, 0);
    for (int mode = 0; mode < 2; ++mode) {
        g_Pointer.messagesOnly = mode == 0;
        g_Pointer.pollDevice = mode == 0;
        press(0, 1);
        press(0, 0);
        EXPECT_EQ(g_Pointer.pendingLeft.load(), 0);
    }
}

TEST_F(Pointers, ThePictureUnderThePointerIsSavedAndPutBackAlsoAtTheEdges) {
    // A white cross on black, the black keyed out.
    WriteBmp("arrow.bmp", 8, 6, [](int x, int y) { return x == 3 || y == 2 ? White : Black; });
    g_Pointer.SetImage("arrow.bmp");
    g_Pointer.SelectImage(0);
    EXPECT_EQ(g_Pointer.width, 8);
    EXPECT_EQ(g_Pointer.visible, 0);
    g_Pointer.visible = 1;
    auto pattern = [](int x, int y) { return (x * 7 + y * 3) % 2 ? Red : Green; };
    for (auto [x, y] : {std::pair{100, 50}, {316, 237}, {-3, -2}}) {
        for (int py = 0; py < 240; ++py)
            for (int px = 0; px < 320; ++px) {
                DDBLTFX fx = {};
                fx.dwSize = sizeof fx;
                fx.dwFillColor = pattern(px, py) == Red ? 0xF800 : 0x07E0;
                RECT one = {px, py, px + 1, py + 1};
                if (px >= x - 1 && px <= x + 9 && py >= y - 1 && py <= y + 7)
                    back_->Blt(&one, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
            }
        g_Pointer.SetPosition(x, y);
        g_Pointer.DrawAndSave(back_);
        for (int dy = 0; dy < 6; ++dy)
            for (int dx = 0; dx < 8; ++dx) {
                if (x + dx < 0 || y + dy < 0 || x + dx >= 320 || y + dy >= 240) continue;
                const uint32_t drawn = dx == 3 || dy == 2 ? White : pattern(x + dx, y + dy);
                ASSERT_EQ(PixelAt(back_, x + dx, y + dy), As565(drawn)) << x << "," << y;
            }
        const RedrawEntry& mark = *g_RedrawList.List(g_RedrawList.InUse()).At(0);
        EXPECT_EQ(std::vector<int>({mark.x, mark.y, mark.width, mark.height, mark.flags}),
                  std::vector<int>({x, y, 8, 6, RedrawOneShot | RedrawFromBackground}));
        g_RedrawList.Reset();
        g_Pointer.RestoreSaved(back_);
        EXPECT_EQ(g_Pointer.savedX[0], -1);
        for (int py = y - 1; py <= y + 7; ++py)
            for (int px = x - 1; px <= x + 9; ++px)
                if (px >= 0 && py >= 0 && px < 320 && py < 240) {
                    ASSERT_EQ(PixelAt(back_, px, py), As565(pattern(px, py))) << px << "," << py;
                }
    }

    // Double-buffered, one save per buffer; hidden, only the buffer changes.
    g_Pointer.SetDoubleBuffered(1);
    g_Pointer.DrawAndSave(back_);
    g_Pointer.DrawAndSave(back_);
    EXPECT_EQ(g_Pointer.savedX[0] + g_Pointer.savedX[1], -6);
    g_Pointer.Hide();
    g_Pointer.DrawAndSave(back_);
    EXPECT_EQ(g_Pointer.bufferIndex, 1);

    g_Pointer.Release();
    EXPECT_EQ(g_Pointer.images.Count(), 0);
    EXPECT_EQ(g_Pointer.saveSurfaces[0], nullptr);
}

} // namespace
