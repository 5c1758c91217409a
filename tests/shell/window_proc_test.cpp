// The window procedure and the message pump of a started program, in
// process. Built twice: for the game and (WINDOW_TEST_AS_LAUNCHER) the launcher.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <windows.h>
#include "ludora/harness_window.h"

#include "shell/core/message_pump.h"
#include "shell/core/shell_state.h"
#include "shell/core/tick_clock.h"
#include "shell/scene_manager.h"
#include "shell/start_up.h"
#include "ui/buttons/pointer.h"
#include "ui/keys/key_queue.h"

#include "tests/support/temp_folder.h"

namespace {

#ifdef WINDOW_TEST_AS_LAUNCHER
const ProgramDescription& Program = LudoraProgram;
#else
const ProgramDescription& Program = PearlwreckProgram;
#endif

std::vector<UINT> heard;

class ListeningScene : public Scene {
public:
    ListeningScene() { SetName("listening"); }
    void Activate(IDirectDraw*, IDirectDrawSurface*) override {}
    void Destroy() override {}
    int32_t OnMessage(HWND, UINT message, WPARAM, LPARAM) override {
        heard.push_back(message);
        return 1;
    }
};
ListeningScene listening;

// Starts the program once, headless, in a folder without pictures (no splash).
class StartedProgram : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(folder.Made());
        ASSERT_EQ(chdir(folder.path.c_str()), 0);
        setenv("LUDORA_AUDIO", "none", 1);
        SetWindowTitle(Program.title);
        ASSERT_TRUE(StartUp(Program, reinterpret_cast<HINSTANCE>(0x400000), nullptr,
                            const_cast<char*>(""), SW_SHOWNORMAL));
        g_SceneManager.AddScene(&listening);
        g_SceneManager.SwitchTo("listening");
        PumpMessages();
    }
    void TearDown() override {
        DestroyWindow(g_ShellState.window);
    }
    testkit::TempFolder folder{"ludora-window"};
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new StartedProgram);

LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(g_ShellState.window, message, wParam, lParam);
}

TEST(WindowProcedure, MaximisedTheMousePositionsAreTakenBackByTheOffsets) {
    ShellState& state = g_ShellState;
    state.active = 1;
    const int width = 1024, height = 740;
    Send(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(width, height));
#ifdef WINDOW_TEST_AS_LAUNCHER
    const int x = width / 2 - 399;
    const int y = height / 2 - 300;
#else
    const int x = width / 2 - (state.clientWidth - 2) / 2;
    const int y = height / 2 - state.clientHeight / 2;
#endif
    EXPECT_EQ(state.drawOffsetX, x);
    EXPECT_EQ(state.drawOffsetY,
              y - GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYSMCAPTION));
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(500, 400));
    EXPECT_EQ(g_Pointer.X(), 500 - state.drawOffsetX);
    EXPECT_EQ(g_Pointer.Y(), 400 - state.drawOffsetY);

    Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(794, 575));
    EXPECT_EQ(state.drawOffsetX, 0);
    EXPECT_EQ(state.drawOffsetY, 0);
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(500, 400));
    EXPECT_EQ(g_Pointer.X(), 500);
    EXPECT_EQ(g_Pointer.Y(), 400);
}

TEST(WindowProcedure, AnInactiveProgramIgnoresMouseMovesButNotButtons) {
    Send(WM_ACTIVATEAPP, 1, 0);
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(10, 20));
    Send(WM_ACTIVATEAPP, 0, 0);
    EXPECT_EQ(g_ShellState.active, 0);
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(300, 300));
    EXPECT_EQ(g_Pointer.X(), 10);
    EXPECT_EQ(g_Pointer.Y(), 20);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 300));
    Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(300, 300));
    EXPECT_EQ(g_Pointer.Buttons(), 3);
    Send(WM_LBUTTONUP, 0, MAKELPARAM(300, 300));
    EXPECT_EQ(g_Pointer.Buttons(), 2);
    Send(WM_RBUTTONUP, 0, MAKELPARAM(300, 300));
    EXPECT_EQ(g_Pointer.Buttons(), 0);
    Send(WM_ACTIVATEAPP, 1, 0);
    EXPECT_EQ(g_ShellState.active, 1);
}

TEST(WindowProcedure, ActivationRowsSetTheActivityAndAClickActivationChangesNothing) {
    Send(WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(g_ShellState.active, 0);
    Send(WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_EQ(g_ShellState.active, 0);
    Send(WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(g_ShellState.active, 1);
    EXPECT_EQ(GetFocus(), g_ShellState.window);
}

TEST(WindowProcedure, TheSceneHearsEveryMessageFirstAndAltOpensNoMenu) {
    heard.clear();
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_KEYMENU, 0), 0);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_KEYMENU | 0x0003, 0), 0);
    Send(WM_USER + 5, 0, 0);
    EXPECT_EQ(heard, (std::vector<UINT>{WM_SYSCOMMAND, WM_SYSCOMMAND, WM_USER + 5}));
}

TEST(WindowProcedure, FOneTogglesTheFrameRateAndEscapeAsksToClose) {
    const bool before = g_ShellState.showFps;
    Send(WM_KEYUP, VK_F1, 0);
    EXPECT_EQ(g_ShellState.showFps, !before);
    Send(WM_KEYDOWN, VK_F1, 0);
    EXPECT_EQ(g_ShellState.showFps, !before); // only the key's release counts
    Send(WM_KEYUP, VK_F1, 0);
    EXPECT_EQ(g_ShellState.showFps, before);

    Send(WM_KEYUP, VK_ESCAPE, 0);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, g_ShellState.window, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_CLOSE));
}

TEST(MessagePump, EveryMessageTakenFeedsTheKeyQueue) {
    g_ShellState.active = 1;
    while (g_KeyQueue.Pop() != 0) {
    }
    LudoraPostKey('A', 1);
    LudoraPostKey('A', 0);
    LudoraPostKey(VK_SHIFT, 1);
    LudoraPostKey('2', 1);
    LudoraPostKey('2', 0);
    LudoraPostKey(VK_SHIFT, 0);
    for (int i = 0; i < 20; ++i) {
        PumpMessages();
    }
    // DirectInput scan codes: A is 30, 2 is 3, the left Shift 42.
    EXPECT_EQ(g_KeyQueue.Pop(), 30);
    EXPECT_EQ(g_KeyQueue.Pop(), 42 + 0x100);
    EXPECT_EQ(g_KeyQueue.Pop(), 3 + 0x100);
    EXPECT_EQ(g_KeyQueue.Pop(), 0);
}

TEST(MessagePump, AQuitIsReportedAndLeftForTheLoopsAround) {
    PostQuitMessage(3);
    EXPECT_EQ(PumpMessages(), 1);
    EXPECT_EQ(PumpMessages(), 1);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_EQ(PumpMessages(), 0);
}

TEST(PictureWait, WithoutAClockThePictureWaitsForAClick) {
    g_TickClock.StopClock();
    const int32_t stoodStill = g_TickClock.Now();
    g_ShellState.active = 1;
    Send(WM_LBUTTONUP, 0, 0);
    Send(WM_RBUTTONUP, 0, 0);
    ASSERT_EQ(LudoraRunScript("wait 100\nclick 20 20\n"), 0);
    const DWORD started = GetTickCount();
    WaitOrClick(5000);
    EXPECT_GE(GetTickCount() - started, 100u);
    EXPECT_EQ(g_TickClock.Now(), stoodStill);
    EXPECT_NE(g_Pointer.Buttons() & 1, 0);
}

} // namespace
