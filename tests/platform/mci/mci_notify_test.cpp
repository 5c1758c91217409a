// MM_MCINOTIFY reaches the callback window when "play ... notify" ends or is cut short.
#include "mci_fixture.h"

namespace mci_test {
namespace {

class MciNotify : public MciTest {
protected:
    void SetUp() override {
        MciTest::SetUp();
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = DefWindowProcA;
        window_class.lpszClassName = "MciNotifyTest";
        RegisterClassA(&window_class);
        window_ = CreateWindowExA(0, "MciNotifyTest", "mci", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        write_tone_wav(dir_ + "/sounds/music.wav", 22050, 1, 22050, 50, 8000); // one second
        ASSERT_EQ(send("open .\\sounds\\music.wav alias music"), 0u);
        id_ = static_cast<LPARAM>(std::atoi(reply_));
    }
    void TearDown() override {
        if (window_ != nullptr) DestroyWindow(window_);
        MciTest::TearDown();
    }
    // The MCI notifications waiting for the window, in order.
    std::vector<WPARAM> notifications() {
        std::vector<WPARAM> statuses;
        MSG msg;
        while (PeekMessageA(&msg, window_, MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE)) {
            EXPECT_EQ(msg.lParam, id_);
            statuses.push_back(msg.wParam);
        }
        return statuses;
    }

    HWND window_ = nullptr;
    LPARAM id_ = 0;
};

using Statuses = std::vector<WPARAM>;

TEST_F(MciNotify, EndOfMusicIsReportedOnceAfterPauseAndResume) {
    ASSERT_EQ(send("play music notify", window_), 0u);
    listen(400);
    ASSERT_EQ(send("pause music", window_), 0u);
    listen(400);
    EXPECT_EQ(notifications(), Statuses{});
    ASSERT_EQ(send("resume music", window_), 0u);
    listen(500);
    EXPECT_EQ(notifications(), Statuses{});
    listen(200);
    EXPECT_EQ(notifications(), Statuses{MCI_NOTIFY_SUCCESSFUL});
    listen(500);
    EXPECT_EQ(notifications(), Statuses{});
}

TEST_F(MciNotify, StopCloseAndANewPlayCutThePendingOneShort) {
    ASSERT_EQ(send("play music notify", window_), 0u);
    listen(100);
    ASSERT_EQ(send("stop music", window_), 0u);
    EXPECT_EQ(notifications(), Statuses{MCI_NOTIFY_ABORTED});

    ASSERT_EQ(send("play music notify", window_), 0u);
    ASSERT_EQ(send("play music from 0 notify", window_), 0u);
    EXPECT_EQ(notifications(), Statuses{MCI_NOTIFY_SUPERSEDED});

    ASSERT_EQ(send("close music", window_), 0u);
    EXPECT_EQ(notifications(), Statuses{MCI_NOTIFY_ABORTED});
    EXPECT_EQ(LudoraPumpAudio(100, nullptr), 0u); // the last user has gone: the device is closed
}

TEST_F(MciNotify, TheShellRestartsItsMusicOnEveryEnd) {
    ASSERT_EQ(send("play music notify", window_), 0u);
    for (int round = 0; round < 3; ++round) {
        listen(1010);
        ASSERT_EQ(notifications(), Statuses{MCI_NOTIFY_SUCCESSFUL});
        ASSERT_EQ(send("close music"), 0u);
        ASSERT_EQ(send("open .\\sounds\\music.wav alias music"), 0u);
        id_ = static_cast<LPARAM>(std::atoi(reply_));
        ASSERT_EQ(send("play music notify", window_), 0u);
        EXPECT_EQ(status("music", "mode"), "playing");
    }
    EXPECT_EQ(notifications(), Statuses{});
}

} // namespace
} // namespace mci_test
