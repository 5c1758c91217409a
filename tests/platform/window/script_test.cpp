// The timed input script: commands, timing on the layer clock, typing, shots.
#include "message_recorder.h"

#include <ludora/harness.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/support/files.h"

namespace {

// The window area's own presentation, as DirectDraw reaches it.
void present(HWND window, const uint32_t* xrgb, int width, int height, int pitch) {
    LudoraHostServices own{};
    LudoraGetHostServices(&own);
    own.present(window, xrgb, width, height, pitch, 0);
}

class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        LudoraResetWindows();
        LudoraHoldClock();
        heard().clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = "Script Class";
        ASSERT_NE(RegisterClassA(&wc), 0);
        hwnd = CreateWindowExA(0, "Script Class", "Script", WS_POPUP | WS_VISIBLE, 0, 0, 320, 200,
                               nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(hwnd, nullptr);
        heard().clear();
    }
    void TearDown() override {
        LudoraReleaseClock();
        LudoraResetWindows();
    }

    void pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    std::string typed() {
        std::string text;
        for (const Heard& h : heard())
            if (h.message == WM_CHAR) text += static_cast<char>(h.wparam);
        return text;
    }

    HWND hwnd = nullptr;
};

TEST_F(ScriptTest, CommandsWaitOnTheLayerClock) {
    EXPECT_EQ(LudoraRunScript("# a click, then a key a little later\n"
                              "click 10 20\n"
                              "wait 100\n"
                              "key press SPACE\n"),
              0);
    pump();
    // A click holds the button down for 30 ms; the wait counts from the release.
    EXPECT_EQ(heard_names(), (std::vector<std::string>{"MOUSEMOVE", "LBUTTONDOWN"}));
    LudoraAdvanceClock(30);
    pump();
    EXPECT_EQ(heard_names(), (std::vector<std::string>{"MOUSEMOVE", "LBUTTONDOWN", "LBUTTONUP"}));
    EXPECT_FALSE(LudoraScriptDone());
    heard().clear();
    LudoraAdvanceClock(99);
    pump();
    EXPECT_TRUE(heard_names().empty());
    LudoraAdvanceClock(1);
    pump();
    EXPECT_EQ(heard_names(), (std::vector<std::string>{"KEYDOWN 32", "CHAR  ", "KEYUP 32"}));
    EXPECT_TRUE(LudoraScriptDone());
}

TEST_F(ScriptTest, TypeUsesShiftWhereTheCharacterNeedsIt) {
    LudoraRunScript("type Hi there, Bob! 42?\n");
    pump();
    EXPECT_EQ(typed(), "Hi there, Bob! 42?");
    // Shift went down and up around each capital.
    int shifts = 0;
    for (const Heard& h : heard())
        if (h.message == WM_KEYDOWN && h.wparam == VK_SHIFT) ++shifts;
    EXPECT_EQ(shifts, 4); // H, B, ! and ?
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
}

TEST_F(ScriptTest, RightButtonsKeysAndActivation) {
    LudoraRunScript("move 5 6\n"
                    "down right\n"
                    "up right\n"
                    "key down MENU\n"
                    "key up MENU\n"
                    "activate 0\n"
                    "activate 1\n"
                    "key down F1\n");
    pump();
    const std::string keymenu = "SYSCOMMAND " + std::to_string(SC_KEYMENU);
    EXPECT_EQ(heard_names(), (std::vector<std::string>{
                                 "MOUSEMOVE", "RBUTTONDOWN", "RBUTTONUP", "SYSKEYDOWN 18", keymenu,
                                 "SYSKEYUP 18", "ACTIVATE 0", "ACTIVATEAPP 0", "KILLFOCUS",
                                 "ACTIVATEAPP 1", "ACTIVATE 1", "SETFOCUS", "KEYDOWN 112"}));
    EXPECT_LT(GetAsyncKeyState(VK_F1), 0);
}

TEST_F(ScriptTest, AClickHoldsTheButtonDownForItsDuration) {
    EXPECT_EQ(LudoraRunScript("click 10 20\n"
                              "click 30 40 right 200\n"
                              "click 50 60 5\n"
                              "click 70 80 left 0\n"
                              "key press SPACE\n"),
              0);
    struct Step {
        uint32_t advance_ms;
        std::vector<std::string> heard;
        bool left_down, right_down;
    };
    // Each click: the move and the press at once, the release after the hold.
    const Step steps[] = {
        {0, {"MOUSEMOVE", "LBUTTONDOWN"}, true, false},
        {29, {}, true, false},
        {1, {"LBUTTONUP", "MOUSEMOVE", "RBUTTONDOWN"}, false, true},
        {199, {}, false, true},
        {1, {"RBUTTONUP", "MOUSEMOVE", "LBUTTONDOWN"}, true, false},
        {4, {}, true, false},
        {1,
         {"LBUTTONUP", "MOUSEMOVE", "LBUTTONDOWN", "LBUTTONUP", "KEYDOWN 32", "CHAR  ", "KEYUP 32"},
         false,
         false},
    };
    for (const Step& step : steps) {
        LudoraAdvanceClock(step.advance_ms);
        heard().clear();
        pump();
        EXPECT_EQ(heard_names(), step.heard) << "after " << step.advance_ms << " ms";
        EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON) < 0, step.left_down);
        EXPECT_EQ(GetAsyncKeyState(VK_RBUTTON) < 0, step.right_down);
    }
    EXPECT_TRUE(LudoraScriptDone());
}

TEST_F(ScriptTest, AClickTakesItsButtonBeforeItsDuration) {
    EXPECT_EQ(LudoraRunScript("click 1 2 50 right\n"
                              "click 1 2 left -5\n"
                              "click 1 2 left 10 20\n"
                              "click 1 2 right right\n"
                              "click 1\n"),
              5);
}

TEST_F(ScriptTest, BadLinesAreReportedAndSkipped) {
    const int rejected = LudoraRunScript("wait soon\n"
                                         "move 1\n"
                                         "key press NOSUCHKEY\n"
                                         "click 1 2 middle\n"
                                         "jump\n"
                                         "activate 2\n"
                                         "shot\n"
                                         "move 99999999999 1\n"
                                         "wait -5\n"
                                         "key press ESCAPE\n");
    EXPECT_EQ(rejected, 9);
    pump();
    EXPECT_EQ(heard_names(), (std::vector<std::string>{"KEYDOWN 27", "CHAR \x1b", "KEYUP 27"}));
}

TEST_F(ScriptTest, CloseEndsTheProgram) {
    LudoraRunScript("wait 10\nclose\n");
    pump();
    EXPECT_TRUE(IsWindow(hwnd));
    LudoraAdvanceClock(10);
    MSG msg;
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) quit = true;
        DispatchMessageA(&msg);
    }
    EXPECT_TRUE(quit);
    EXPECT_FALSE(IsWindow(hwnd));
}

std::vector<unsigned char> read_file(const std::string& path) {
    return testkit::ReadBytes(path);
}

uint32_t le32(const std::vector<unsigned char>& b, size_t at) {
    return testkit::Little(b, at, 4);
}

TEST_F(ScriptTest, ShotSavesTheLastFrameAsBottomUpBmp) {
    const std::string path = ::testing::TempDir() + "ludora_shot.bmp";
    std::remove(path.c_str());
    // 3 by 2 pixels in a wider buffer: the pitch must be honoured.
    const uint32_t pixels[2 * 4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xDEADBEEF,
                                    0x00112233, 0x00445566, 0x00778899, 0xDEADBEEF};
    present(hwnd, pixels, 3, 2, 4);
    int w = 0, h = 0;
    ASSERT_TRUE(LudoraLastFrameSize(&w, &h));
    EXPECT_EQ(w, 3);
    LudoraRunScript(("shot " + path + "\n").c_str());
    pump();
    const auto bmp = read_file(path);
    ASSERT_EQ(bmp.size(), 54u + 2 * 12); // rows of 9 bytes padded to 12
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(le32(bmp, 18), 3u);
    EXPECT_EQ(le32(bmp, 22), 2u); // positive height: bottom-up
    EXPECT_EQ(bmp[28], 24);
    // The first stored row is the bottom one: 0x112233 as blue, green, red.
    EXPECT_EQ(bmp[54], 0x33);
    EXPECT_EQ(bmp[55], 0x22);
    EXPECT_EQ(bmp[56], 0x11);
    // The top row's first pixel is pure red.
    EXPECT_EQ(bmp[54 + 12 + 2], 0xFF);
    EXPECT_EQ(bmp[54 + 12 + 0], 0x00);
}

TEST_F(ScriptTest, ShotBeforeAnyFrameShowsABlackClientArea) {
    const std::string path = ::testing::TempDir() + "ludora_black.bmp";
    LudoraRunScript(("shot " + path + "\n").c_str());
    pump();
    const auto bmp = read_file(path);
    ASSERT_EQ(bmp.size(), 54u + 320 * 3 * 200);
    EXPECT_EQ(le32(bmp, 18), 320u);
    EXPECT_EQ(bmp[54 + 100], 0);
    // Nonsense frames are refused and change nothing.
    present(hwnd, nullptr, 10, 10, 10);
    const uint32_t one = 0;
    present(hwnd, &one, 1, 1, 0);
    EXPECT_FALSE(LudoraLastFrameSize(nullptr, nullptr));
}

} // namespace
