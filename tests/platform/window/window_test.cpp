// Windows and messages as a Win32 program sees them, driven by the harness.
#include "message_recorder.h"

#include <ddraw.h>
#include <ludora/harness.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        LudoraResetWindows();
        heard().clear();
        WNDCLASSA wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = RecordingProc;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = "DirectX Class";
        ASSERT_NE(RegisterClassA(&wc), 0);
    }
    void TearDown() override { LudoraResetWindows(); }

    HWND make_window(DWORD style, int x = 112, int y = 84, int w = 800, int h = 600) {
        return CreateWindowExA(0, "DirectX Class", "Test", style, x, y, w, h, nullptr, nullptr,
                               nullptr, nullptr);
    }

    // Pumps like the programs' main loop; returns 1 when WM_QUIT came.
    int pump(int* quit_code = nullptr) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                if (quit_code) *quit_code = static_cast<int>(msg.wParam);
                return 1;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return 0;
    }
};

TEST_F(WindowTest, CreationAndShowingFollowWindowsOrder) {
    HWND hwnd = make_window(0x100B0000); // visible overlapped window, as the programs make it
    ASSERT_NE(hwnd, nullptr);
    std::vector<std::string> expected = {"NCCREATE",   "CREATE",   "SHOWWINDOW", "ACTIVATEAPP 1",
                                         "ACTIVATE 1", "SETFOCUS", "SIZE 0",     "MOVE"};
    EXPECT_EQ(heard_names(), expected);
    EXPECT_EQ(GetActiveWindow(), hwnd);
    EXPECT_EQ(GetFocus(), hwnd);
    EXPECT_EQ(GetForegroundWindow(), hwnd);

    // Created hidden: nothing but creation until it is shown.
    heard().clear();
    HWND second = make_window(WS_POPUP);
    EXPECT_EQ(heard_names(), (std::vector<std::string>{"NCCREATE", "CREATE"}));
    heard().clear();
    ShowWindow(second, SW_SHOWNORMAL);
    // The first window hands activation and focus over, in Windows' order.
    EXPECT_EQ(heard_names(), (std::vector<std::string>{"SHOWWINDOW", "ACTIVATE 0", "ACTIVATE 1",
                                                       "KILLFOCUS", "SETFOCUS", "SIZE 0", "MOVE"}));
    // Showing again sends no second WM_SIZE.
    heard().clear();
    ShowWindow(second, SW_SHOWNORMAL);
    EXPECT_TRUE(heard_names().empty());
}

TEST_F(WindowTest, ClientAreaLeavesOutCaptionAndFrame) {
    HWND framed = make_window(0x100B0000, 112, 84);
    HWND popup = make_window(WS_POPUP | WS_VISIBLE, 10, 20, 640, 480);
    RECT r;
    ASSERT_TRUE(GetClientRect(framed, &r));
    const int fx = GetSystemMetrics(SM_CXFIXEDFRAME), fy = GetSystemMetrics(SM_CYFIXEDFRAME);
    EXPECT_EQ(r.right, 800 - 2 * fx);
    EXPECT_EQ(r.bottom, 600 - 2 * fy - GetSystemMetrics(SM_CYCAPTION));
    ASSERT_TRUE(GetClientRect(popup, &r));
    EXPECT_EQ(r.right, 640);
    EXPECT_EQ(r.bottom, 480);

    POINT p{0, 0};
    ClientToScreen(framed, &p);
    EXPECT_EQ(p.x, 112 + fx);
    EXPECT_EQ(p.y, 84 + fy + GetSystemMetrics(SM_CYCAPTION));
    ScreenToClient(framed, &p);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);

    // A thick frame uses the sizing border.
    HWND sizable = make_window(WS_OVERLAPPEDWINDOW, 0, 0, 400, 300);
    ASSERT_TRUE(GetClientRect(sizable, &r));
    EXPECT_EQ(r.right, 400 - 2 * GetSystemMetrics(SM_CXFRAME));
    RECT adjusted{0, 0, r.right, r.bottom};
    AdjustWindowRect(&adjusted, WS_OVERLAPPEDWINDOW, FALSE);
    EXPECT_EQ(adjusted.right - adjusted.left, 400);
    EXPECT_EQ(adjusted.bottom - adjusted.top, 300);

    // SetWindowPos moves and sizes, and reports both.
    heard().clear();
    ASSERT_TRUE(SetWindowPos(popup, HWND_TOPMOST, 30, 40, 320, 200, SWP_SHOWWINDOW));
    GetWindowRect(popup, &r);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.bottom, 240);
    EXPECT_EQ(heard_names(), (std::vector<std::string>{"SIZE 0", "MOVE"}));
    EXPECT_EQ(LOWORD(heard()[0].lparam), 320);
}

TEST_F(WindowTest, SystemMetricsFollowTheDesktop) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    EXPECT_GT(GetSystemMetrics(SM_CYCAPTION), GetSystemMetrics(SM_CYSMCAPTION));
    EXPECT_GT(GetSystemMetrics(SM_CYFRAME), 0);
    EXPECT_EQ(GetSystemMetrics(9999), 0);
}

TEST_F(WindowTest, TheScreenIsTheDisplayModeAProgramSets) {
    HWND hwnd = make_window(WS_POPUP | WS_VISIBLE, 0, 0, 640, 480);
    LPDIRECTDRAW dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    ASSERT_EQ(dd->SetCooperativeLevel(hwnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(dd->SetDisplayMode(640, 480, 8), DD_OK);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    // The pointer stays on the smaller screen.
    SetCursorPos(1000, 700);
    POINT at{};
    GetCursorPos(&at);
    EXPECT_EQ(at.x, 639);
    EXPECT_EQ(at.y, 479);
    // A maximised window fills the mode's screen.
    HWND framed = make_window(0x100B0000);
    ShowWindow(framed, SW_SHOWMAXIMIZED);
    RECT client{};
    GetClientRect(framed, &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480 - GetSystemMetrics(SM_CYCAPTION));
    DestroyWindow(framed);
    ASSERT_EQ(dd->RestoreDisplayMode(), DD_OK);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    // Letting go of DirectDraw gives the desktop back as well.
    ASSERT_EQ(dd->SetDisplayMode(800, 600, 16), DD_OK);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    dd->Release();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
}

TEST_F(WindowTest, InputArrivesWithClientCoordinatesAndKeyData) {
    HWND hwnd = make_window(WS_POPUP | WS_VISIBLE, 50, 60, 640, 480);
    heard().clear();
    LudoraPostMouseMove(100, 200);
    LudoraPostMouseButton(0, 1);
    LudoraPostMouseButton(0, 0);
    LudoraPostKey(VK_SHIFT, 1);
    LudoraPostKey('A', 1);
    LudoraPostKey('A', 0);
    LudoraPostKey(VK_SHIFT, 0);
    LudoraPostKey('1', 1);
    pump();
    std::vector<std::string> expected = {"MOUSEMOVE",  "LBUTTONDOWN", "LBUTTONUP", "KEYDOWN 16",
                                         "KEYDOWN 65", "CHAR A",      "KEYUP 65",  "KEYUP 16",
                                         "KEYDOWN 49", "CHAR 1"};
    EXPECT_EQ(heard_names(), expected);
    EXPECT_EQ(heard()[0].lparam, MAKELPARAM(100, 200));
    EXPECT_EQ(heard()[1].wparam, static_cast<WPARAM>(MK_LBUTTON));
    const LPARAM down = heard()[4].lparam, up = heard()[6].lparam;
    EXPECT_EQ(down & 0xFFFF, 1);          // repeat count
    EXPECT_EQ((down >> 16) & 0xFF, 0x1E); // scan code of A
    EXPECT_EQ((down >> 30) & 1, 0);       // was up
    EXPECT_EQ((up >> 30) & 1, 1);
    EXPECT_EQ((up >> 31) & 1, 1);

    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 150);
    EXPECT_EQ(cursor.y, 260);
    EXPECT_LT(GetAsyncKeyState('1'), 0);
    EXPECT_LT(GetKeyState('1'), 0);
    EXPECT_EQ(GetAsyncKeyState('A') & 0x8000, 0);
    EXPECT_EQ(GetAsyncKeyState('A') & 1, 0); // the press was reported by the previous call
    (void)hwnd;
}

TEST_F(WindowTest, AltOpensNoMenuButReportsKeyMenu) {
    make_window(WS_POPUP | WS_VISIBLE);
    heard().clear();
    LudoraPostKey(VK_MENU, 1);
    LudoraPostKey(VK_MENU, 0);
    pump();
    const std::string keymenu = "SYSCOMMAND " + std::to_string(SC_KEYMENU);
    EXPECT_EQ(heard_names(), (std::vector<std::string>{"SYSKEYDOWN 18", keymenu, "SYSKEYUP 18"}));
    EXPECT_EQ((heard()[0].lparam >> 29) & 1, 1); // context code: Alt held
}

TEST_F(WindowTest, DeactivationAndActivation) {
    HWND hwnd = make_window(WS_POPUP | WS_VISIBLE);
    heard().clear();
    LudoraActivate(0);
    pump();
    EXPECT_EQ(heard_names(),
              (std::vector<std::string>{"ACTIVATE 0", "ACTIVATEAPP 0", "KILLFOCUS"}));
    EXPECT_EQ(GetForegroundWindow(), nullptr);

    // Keys go to another application meanwhile.
    heard().clear();
    LudoraPostKey('Q', 1);
    LudoraPostKey('Q', 0);
    pump();
    EXPECT_TRUE(heard_names().empty());

    LudoraActivate(1);
    pump();
    EXPECT_EQ(heard_names(), (std::vector<std::string>{"ACTIVATEAPP 1", "ACTIVATE 1", "SETFOCUS"}));
    EXPECT_EQ(GetForegroundWindow(), hwnd);

    // A click on the window in the background activates it first.
    LudoraActivate(0);
    pump();
    heard().clear();
    LudoraPostMouseButton(1, 1);
    pump();
    EXPECT_EQ(heard_names(),
              (std::vector<std::string>{"ACTIVATEAPP 1", "ACTIVATE 2", "SETFOCUS", "RBUTTONDOWN"}));
    LudoraPostMouseButton(1, 0);
    pump();
}

TEST_F(WindowTest, CloseBoxDestroysAndQuits) {
    HWND hwnd = make_window(WS_POPUP | WS_VISIBLE);
    heard().clear();
    LudoraClose();
    int code = -1;
    EXPECT_EQ(pump(&code), 1);
    EXPECT_EQ(code, 3);
    const std::vector<std::string> names = heard_names();
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names[0], "SYSCOMMAND " + std::to_string(SC_CLOSE));
    EXPECT_EQ(names[1], "CLOSE");
    EXPECT_EQ(names.back(), "DESTROY");
    EXPECT_FALSE(IsWindow(hwnd));
    // The quit message is taken once.
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, MessagesForDestroyedWindowsAreDropped) {
    HWND a = make_window(WS_POPUP | WS_VISIBLE);
    HWND b = make_window(WS_POPUP | WS_VISIBLE);
    ASSERT_TRUE(PostMessageA(a, WM_USER + 1, 7, 0));
    ASSERT_TRUE(PostMessageA(b, WM_USER + 2, 8, 0));
    DestroyWindow(a);
    EXPECT_FALSE(PostMessageA(a, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageA(a, WM_USER, 0, 0), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER, WM_USER + 10, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, b);
    EXPECT_EQ(msg.wParam, 8u);
    // Only the quit message of a's WM_DESTROY is left; it passes any filter.
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER, WM_USER + 10, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(WindowTest, QueueFiltersAndOrder) {
    HWND hwnd = make_window(WS_POPUP | WS_VISIBLE);
    MSG msg;
    // The first pass paints the new window; DefWindowProc validates it.
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    DispatchMessageA(&msg);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    PostQuitMessage(5);
    PostMessageA(hwnd, WM_USER, 1, 0);
    PostMessageA(nullptr, WM_USER + 1, 2, 0); // a thread message
    // Posted messages come before the quit message.
    ASSERT_TRUE(PeekMessageA(&msg, hwnd, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    ASSERT_TRUE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0) == 0);
    EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(WindowTest, WindowFacts) {
    EXPECT_EQ(make_window(0, 0, 0, 10, 10) != nullptr, true);
    EXPECT_EQ(
        CreateWindowExA(0, "No Such Class", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    WNDCLASSA again{};
    again.lpfnWndProc = RecordingProc;
    again.lpszClassName = "directx class"; // class names ignore case
    EXPECT_EQ(RegisterClassA(&again), 0);

    HWND hwnd = make_window(WS_POPUP);
    char title[8];
    SetWindowTextA(hwnd, "Pearl Wreck - Anna");
    EXPECT_EQ(GetWindowTextA(hwnd, title, sizeof title), 7); // cut to the buffer
    EXPECT_STREQ(title, "Pearl W");
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_FALSE(GetWindowRect(nullptr, nullptr));
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW) != nullptr, true);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
}

// Overlapped and sizable windows stay between 112x27 and the desktop (1024x768
// here) plus 12 on each axis; pop-ups and children keep any size asked.
TEST_F(WindowTest, WindowsAreHeldBetweenTheirTrackingSizes) {
    auto size_of = [](HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return std::pair<LONG, LONG>(r.right - r.left, r.bottom - r.top);
    };
    using Size = std::pair<LONG, LONG>;
    HWND overlapped = make_window(WS_OVERLAPPED | WS_SYSMENU, 0, 0, -5000, 100000);
    ASSERT_NE(overlapped, nullptr);
    EXPECT_EQ(size_of(overlapped), Size(112, 780));
    EXPECT_EQ(size_of(make_window(WS_POPUP | WS_THICKFRAME, 0, 0, 5, 5000)), Size(112, 780));
    EXPECT_EQ(size_of(make_window(WS_POPUP, 0, 0, 3000, 2)), Size(3000, 2));
    EXPECT_EQ(size_of(make_window(WS_POPUP, 0, 0, -5, -5)), Size(0, 0));

    SetWindowPos(overlapped, nullptr, 0, 0, 2000, 10, SWP_NOZORDER);
    EXPECT_EQ(size_of(overlapped), Size(1036, 27));
    SetWindowPos(overlapped, nullptr, 0, 0, 640, 480, SWP_NOZORDER);
    EXPECT_EQ(size_of(overlapped), Size(640, 480));
    MoveWindow(overlapped, 10, 10, 0, 0, FALSE);
    EXPECT_EQ(size_of(overlapped), Size(112, 27));
    EXPECT_EQ(GetSystemMetrics(SM_CXMAXTRACK), 1036);
    EXPECT_EQ(GetSystemMetrics(SM_CYMINTRACK), 27);

    // At the last coordinate the numbers hold, the window keeps its size and
    // ends at the end of the range.
    const LONG last = 2147483647;
    HWND far = make_window(WS_POPUP, last, last, 800, 600);
    RECT r{};
    GetWindowRect(far, &r);
    EXPECT_EQ(r.right, last);
    EXPECT_EQ(r.bottom, last);
    EXPECT_EQ(size_of(far), Size(800, 600));
    GetClientRect(far, &r);
    EXPECT_EQ(r.right, 800);
}

TEST_F(WindowTest, MaximisingReportsTheNewClientSize) {
    HWND hwnd = make_window(0x100B0000);
    heard().clear();
    ShowWindow(hwnd, SW_SHOWMAXIMIZED);
    const auto names = heard_names();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names[names.size() - 2], "SIZE 2");
    RECT r;
    GetClientRect(hwnd, &r);
    EXPECT_EQ(r.right, 1024);
    EXPECT_EQ(r.bottom, 768 - GetSystemMetrics(SM_CYCAPTION));
    ShowWindow(hwnd, SW_RESTORE);
    GetClientRect(hwnd, &r);
    EXPECT_EQ(r.right, 800 - 2 * GetSystemMetrics(SM_CXFIXEDFRAME));
}

TEST_F(WindowTest, CursorPositionAndKeyToggles) {
    HWND hwnd = make_window(WS_POPUP | WS_VISIBLE, 100, 50, 200, 100);
    pump();
    heard().clear();
    ASSERT_TRUE(SetCursorPos(150, 60));
    POINT p;
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 150);
    SetCursorPos(5000, -20); // kept on the desktop
    GetCursorPos(&p);
    EXPECT_EQ(p.x, GetSystemMetrics(SM_CXSCREEN) - 1);
    EXPECT_EQ(p.y, 0);
    pump();
    // Only the position inside the client area is reported to the window.
    EXPECT_EQ(heard_names(), (std::vector<std::string>{"MOUSEMOVE"}));
    EXPECT_EQ(heard()[0].lparam, MAKELPARAM(50, 10));

    // GetKeyState follows the messages taken; its low bit toggles per press.
    LudoraPostKey(VK_CAPITAL, 1);
    LudoraPostKey(VK_CAPITAL, 0);
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 0); // not yet taken from the queue
    pump();
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 1);
    LudoraPostKey(VK_CAPITAL, 1);
    pump();
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 0x8001, 0x8000);
    LudoraPostKey(VK_CAPITAL, 0);
    pump();

    // Left and right shift are one virtual key to the program, two to GetAsyncKeyState.
    heard().clear();
    LudoraPostKey(VK_RSHIFT, 1);
    pump();
    EXPECT_EQ(heard_names(), (std::vector<std::string>{"KEYDOWN 16"}));
    EXPECT_EQ((heard()[0].lparam >> 16) & 0xFF, 0x36);
    EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetAsyncKeyState(VK_RSHIFT), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_LSHIFT), 0);
    LudoraPostKey(VK_RSHIFT, 0);
    pump();
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
    (void)hwnd;
}

TEST_F(WindowTest, HidingTheActiveWindowDeactivatesTheApplication) {
    HWND hwnd = make_window(WS_POPUP | WS_VISIBLE);
    heard().clear();
    EXPECT_TRUE(ShowWindow(hwnd, SW_HIDE));
    EXPECT_EQ(heard_names(),
              (std::vector<std::string>{"SHOWWINDOW", "ACTIVATE 0", "ACTIVATEAPP 0", "KILLFOCUS"}));
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_FALSE(ShowWindow(hwnd, SW_HIDE)); // was already hidden
    // Shown without activation: no activation messages.
    heard().clear();
    ShowWindow(hwnd, SW_SHOWNA);
    EXPECT_EQ(heard_names(), (std::vector<std::string>{"SHOWWINDOW"}));
    // User data and styles through the window longs.
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 1234);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_USERDATA), 1234);
    EXPECT_TRUE(GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE);
}

TEST(MessageBox, LogsCaptionAndTextAndAnswersOk) {
    const std::string log = ::testing::TempDir() + "ludora_message_log.txt";
    std::remove(log.c_str());
    setenv("LUDORA_MESSAGE_LOG", log.c_str(), 1);
    EXPECT_EQ(MessageBoxA(nullptr, "DirectX not installed.", nullptr, MB_ICONHAND | MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "two\nlines", "Title", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "sure?", "Ask", MB_YESNO), IDYES);
    unsetenv("LUDORA_MESSAGE_LOG");
    // Unattended, a box takes its default button; one past the last means the first.
    EXPECT_EQ(MessageBoxA(nullptr, "", "", MB_OKCANCEL), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "", "", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "", "", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "", "", MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "", "", MB_ABORTRETRYIGNORE | MB_DEFBUTTON3), IDIGNORE);
    EXPECT_EQ(MessageBoxA(nullptr, "", "", MB_RETRYCANCEL), IDRETRY);
    EXPECT_EQ(MessageBoxA(nullptr, "", "", MB_OK | MB_DEFBUTTON2), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "", "", MB_YESNO | MB_DEFBUTTON4), IDYES);
    std::ifstream in(log);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "Error|DirectX not installed.\nTitle|two\\nlines\nAsk|sure?\n");
}

TEST(Rectangles, IntersectUnionAndHitTest) {
    RECT a{0, 0, 10, 10}, b{5, 5, 20, 20}, out;
    EXPECT_TRUE(IntersectRect(&out, &a, &b));
    EXPECT_EQ(out.left, 5);
    EXPECT_EQ(out.right, 10);
    RECT far{30, 30, 40, 40};
    EXPECT_FALSE(IntersectRect(&out, &a, &far));
    EXPECT_TRUE(IsRectEmpty(&out));
    EXPECT_TRUE(UnionRect(&out, &a, &far));
    EXPECT_EQ(out.right, 40);
    EXPECT_TRUE(PtInRect(&a, POINT{9, 9}));
    EXPECT_FALSE(PtInRect(&a, POINT{10, 5})); // right edge excluded
    char buffer[2000];
    std::string long_text(1500, 'x');
    EXPECT_EQ(wsprintfA(buffer, "%s", long_text.c_str()), 1023);
    EXPECT_EQ(std::string(buffer).size(), 1023u);
}

} // namespace

TEST_F(WindowTest, TheDesktopIsNeverOneOfTheProgramsWindows) {
    HWND desktop = GetDesktopWindow();
    ASSERT_NE(desktop, nullptr);
    EXPECT_EQ(GetDesktopWindow(), desktop);
    std::vector<HWND> windows;
    for (int i = 0; i < 300; ++i) {
        HWND hwnd = make_window(WS_POPUP, 0, 0, 10 + i, 10);
        ASSERT_NE(hwnd, nullptr);
        EXPECT_NE(hwnd, desktop) << "window " << i;
        windows.push_back(hwnd);
    }
    std::sort(windows.begin(), windows.end());
    EXPECT_EQ(std::adjacent_find(windows.begin(), windows.end()), windows.end());
    // Destroying a window never touches the desktop, which still covers the screen.
    for (HWND hwnd : windows)
        EXPECT_TRUE(DestroyWindow(hwnd));
    RECT screen{};
    EXPECT_TRUE(GetClientRect(desktop, &screen));
    EXPECT_EQ(screen.right - screen.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(screen.bottom - screen.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(GetWindowRect(desktop, &screen));
    EXPECT_EQ(screen.right, GetSystemMetrics(SM_CXSCREEN));
}

TEST_F(WindowTest, DestroyingTheActiveWindowDeactivatesOnce) {
    HWND other = make_window(WS_POPUP | WS_VISIBLE);
    HWND hwnd = make_window(WS_POPUP | WS_VISIBLE);
    ASSERT_EQ(GetActiveWindow(), hwnd);
    heard().clear();
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_EQ(heard_names(),
              (std::vector<std::string>{"ACTIVATE 0", "ACTIVATEAPP 0", "KILLFOCUS", "DESTROY"}));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    // The application is in the background now: leaving again says nothing.
    heard().clear();
    LudoraActivate(0);
    pump();
    EXPECT_TRUE(heard_names().empty());
    // Destroying a window that is not active deactivates nothing.
    LudoraActivate(1);
    pump();
    EXPECT_EQ(GetActiveWindow(), other);
    HWND third = make_window(WS_POPUP);
    heard().clear();
    EXPECT_TRUE(DestroyWindow(third));
    EXPECT_EQ(heard_names(), (std::vector<std::string>{"DESTROY"}));
    EXPECT_EQ(GetForegroundWindow(), other);
}

// A program that finds its queue empty again without presenting a frame in
// between waits a moment for a message; one that presents never does.
TEST_F(WindowTest, AnIdleProgramWaitsForMessagesAndABusyOneNever) {
    HWND hwnd = make_window(WS_POPUP | WS_VISIBLE, 0, 0, 4, 4);
    pump();
    LudoraHostServices own{};
    LudoraGetHostServices(&own);
    const uint32_t picture[16] = {};
    MSG msg;
    // A busy program: a frame between every two empty peeks.
    const unsigned before = LudoraIdleWaits();
    for (int frame = 0; frame < 20; ++frame) {
        own.present(hwnd, picture, 4, 4, 4, 0);
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    }
    EXPECT_EQ(LudoraIdleWaits(), before);
    // Idle: no frame since the last empty peek, so every empty peek waits.
    for (int peek = 0; peek < 5; ++peek)
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(LudoraIdleWaits(), before + 5);
    // A message waiting is taken at once, whatever came before.
    PostMessageA(hwnd, WM_USER + 5, 0, 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 5));
    EXPECT_EQ(LudoraIdleWaits(), before + 5);
}
