// Other threads post to the UI thread's queue (the sound library's MCI
// notifications, the timer): GetMessage must wake for them and nothing may race.
#include <ludora/harness.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

std::atomic<int> g_received{0};

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_USER + 7) ++g_received;
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

TEST(QueueThreads, GetMessageWakesForPostsFromOtherThreads) {
    LudoraResetWindows();
    WNDCLASSA wc{};
    wc.lpfnWndProc = CountingProc;
    wc.lpszClassName = "Thread Class";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND hwnd = CreateWindowExA(0, "Thread Class", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    constexpr int kPosts = 500;
    std::thread poster([&] {
        for (int i = 0; i < kPosts; ++i) {
            PostMessageA(hwnd, WM_USER + 7, static_cast<WPARAM>(i), 0);
            GetAsyncKeyState(VK_ESCAPE);
            IsWindow(hwnd);
        }
        PostMessageA(nullptr, WM_QUIT + 0, 0, 0); // a thread message: the loop below ends on it
    });
    std::thread keys([] {
        for (int i = 0; i < 200; ++i)
            LudoraPostKey('K', i % 2);
    });
    MSG msg;
    int last = -1;
    bool ordered = true;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_USER + 7) {
            ordered = ordered && static_cast<int>(msg.wParam) == last + 1;
            last = static_cast<int>(msg.wParam);
        }
        DispatchMessageA(&msg);
    }
    poster.join();
    keys.join();
    EXPECT_EQ(g_received.load(), kPosts);
    EXPECT_TRUE(ordered);
    LudoraResetWindows();
}

} // namespace
