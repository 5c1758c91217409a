// Position notifications: events as the play cursor passes offsets and when a buffer stops.
#include "dsound_fixture.h"

#include <chrono>
#include <thread>

namespace dsound_test {
namespace {

class Notifications : public DirectSoundTest {
protected:
    void SetUp() override {
        DirectSoundTest::SetUp();
        // 0.1 s of 44100 Hz mono 16-bit: 8820 bytes.
        buffer_ = make_buffer(
            44100, 1, 16, 4410, [](DWORD, WORD) { return 100; },
            DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY);
        ASSERT_EQ(
            buffer_->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify_)),
            DS_OK);
        for (HANDLE& event : events_)
            event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    }
    void TearDown() override {
        if (notify_ != nullptr) notify_->Release();
        if (buffer_ != nullptr) buffer_->Release();
        for (HANDLE event : events_)
            CloseHandle(event);
        DirectSoundTest::TearDown();
    }
    // Which of the events are set now (each check resets it).
    std::vector<int> fired() {
        std::vector<int> which;
        for (int i = 0; i < 4; ++i) {
            if (signalled(events_[i])) which.push_back(i);
        }
        return which;
    }

    LPDIRECTSOUNDBUFFER buffer_ = nullptr;
    LPDIRECTSOUNDNOTIFY notify_ = nullptr;
    HANDLE events_[4] = {};
};

using Fired = std::vector<int>;

TEST_F(Notifications, OffsetsFireInTheOrderTheCursorPassesThem) {
    const DSBPOSITIONNOTIFY positions[] = {
        {6000, events_[2]}, {2000, events_[0]}, {DSBPN_OFFSETSTOP, events_[3]}, {4000, events_[1]}};
    ASSERT_EQ(notify_->SetNotificationPositions(4, positions), DS_OK);
    ASSERT_EQ(buffer_->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(fired(), Fired{});
    pump(999); // the cursor stands at byte 1998
    EXPECT_EQ(fired(), Fired{});
    pump(1);
    EXPECT_EQ(fired(), Fired{0});
    pump(1500);
    EXPECT_EQ(fired(), Fired{1});
    pump(1500);
    EXPECT_EQ(fired(), Fired{2});
    pump(409);
    EXPECT_EQ(fired(), Fired{});
    pump(1); // the last frame: the buffer stops
    EXPECT_EQ(fired(), Fired{3});
    pump(4410);
    EXPECT_EQ(fired(), Fired{});
}

TEST_F(Notifications, LoopingBufferFiresEveryRoundAndStopFiresOnStop) {
    const DSBPOSITIONNOTIFY positions[] = {
        {0, events_[0]}, {8818, events_[1]}, {DSBPN_OFFSETSTOP, events_[3]}};
    ASSERT_EQ(notify_->SetNotificationPositions(3, positions), DS_OK);
    ASSERT_EQ(buffer_->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    pump(4409);
    EXPECT_EQ(fired(), Fired{1});
    pump(1);
    EXPECT_EQ(fired(), Fired{0}); // back at the start
    pump(4410);
    EXPECT_EQ(fired(), (Fired{0, 1}));
    // Positions cannot change while the buffer plays.
    EXPECT_EQ(notify_->SetNotificationPositions(3, positions), DSERR_INVALIDCALL);
    ASSERT_EQ(buffer_->Stop(), DS_OK);
    EXPECT_EQ(fired(), Fired{3});
    ASSERT_EQ(buffer_->Stop(), DS_OK); // already stopped: nothing more
    EXPECT_EQ(fired(), Fired{});
    pump(4410);
    EXPECT_EQ(fired(), Fired{});
}

// Nothing is captured and nobody listens, so the mixer sleeps until the next
// event is due; a buffer played after a long silence still starts then, and
// every event comes when the clock reaches it, not before.
TEST_F(Notifications, WithNobodyListeningEventsComeWhenTheClockReachesThem) {
    // Set within `real_ms` of real time (the clock is held: time-outs would wait for it).
    const auto comes_within = [](HANDLE event, int real_ms) {
        for (int waited = 0; waited < real_ms; waited += 5) {
            if (signalled(event)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return signalled(event);
    };
    const DSBPOSITIONNOTIFY positions[] = {{4410, events_[0]}, {DSBPN_OFFSETSTOP, events_[1]}};
    ASSERT_EQ(notify_->SetNotificationPositions(2, positions), DS_OK);
    LudoraAdvanceClock(400);
    ASSERT_EQ(buffer_->Play(0, 0, 0), DS_OK);
    LudoraAdvanceClock(40); // the half is 50 ms in
    EXPECT_FALSE(comes_within(events_[0], 300));
    LudoraAdvanceClock(20);
    EXPECT_TRUE(comes_within(events_[0], 5000));
    DWORD status = 0;
    ASSERT_EQ(buffer_->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DWORD{DSBSTATUS_PLAYING});
    EXPECT_FALSE(comes_within(events_[1], 100));
    LudoraAdvanceClock(50);
    EXPECT_TRUE(comes_within(events_[1], 5000));
    ASSERT_EQ(buffer_->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DWORD{0});
}

TEST_F(Notifications, ABufferStoppedByTheEndOfItsDirectSoundFiresItsStopEvent) {
    const DSBPOSITIONNOTIFY positions[] = {{DSBPN_OFFSETSTOP, events_[3]}};
    ASSERT_EQ(notify_->SetNotificationPositions(1, positions), DS_OK);
    ASSERT_EQ(buffer_->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    pump(100);
    LPDIRECTSOUND second = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &second, nullptr), DS_OK);
    ds_->Release();
    ds_ = second;
    EXPECT_EQ(fired(), Fired{3});
    pump(4410);
    EXPECT_EQ(fired(), Fired{});
}

TEST_F(Notifications, PositionsAreChecked) {
    DSBPOSITIONNOTIFY beyond[] = {{8820, events_[0]}};
    EXPECT_EQ(notify_->SetNotificationPositions(1, beyond), DSERR_INVALIDPARAM);
    DSBPOSITIONNOTIFY no_event[] = {{10, nullptr}};
    EXPECT_EQ(notify_->SetNotificationPositions(1, no_event), DSERR_INVALIDPARAM);
    EXPECT_EQ(notify_->SetNotificationPositions(1, nullptr), DSERR_INVALIDPARAM);

    // Clearing the list silences the buffer's events.
    DSBPOSITIONNOTIFY stop[] = {{DSBPN_OFFSETSTOP, events_[3]}};
    ASSERT_EQ(notify_->SetNotificationPositions(1, stop), DS_OK);
    ASSERT_EQ(notify_->SetNotificationPositions(0, nullptr), DS_OK);
    ASSERT_EQ(buffer_->Play(0, 0, 0), DS_OK);
    pump(4410);
    EXPECT_EQ(fired(), Fired{});

    // The notify interface holds the buffer.
    LPDIRECTSOUNDBUFFER back = nullptr;
    ASSERT_EQ(notify_->QueryInterface(IID_IDirectSoundBuffer, reinterpret_cast<void**>(&back)),
              DS_OK);
    EXPECT_EQ(back, buffer_);
    EXPECT_EQ(back->Release(), 2u);
    void* nothing = nullptr;
    EXPECT_EQ(buffer_->QueryInterface(IID_IDirectSound, &nothing), E_NOINTERFACE);
    EXPECT_EQ(nothing, nullptr);
}

TEST_F(Notifications, DuplicatesKeepTheirOwnNotifications) {
    DSBPOSITIONNOTIFY stop[] = {{DSBPN_OFFSETSTOP, events_[3]}};
    ASSERT_EQ(notify_->SetNotificationPositions(1, stop), DS_OK);
    LPDIRECTSOUNDBUFFER copy = nullptr;
    ASSERT_EQ(ds_->DuplicateSoundBuffer(buffer_, &copy), DS_OK);
    LPDIRECTSOUNDNOTIFY copy_notify = nullptr;
    ASSERT_EQ(copy->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&copy_notify)),
              DS_OK);
    DSBPOSITIONNOTIFY copy_stop[] = {{DSBPN_OFFSETSTOP, events_[2]}};
    ASSERT_EQ(copy_notify->SetNotificationPositions(1, copy_stop), DS_OK);
    ASSERT_EQ(buffer_->Play(0, 0, 0), DS_OK);
    pump(2000);
    ASSERT_EQ(copy->Play(0, 0, 0), DS_OK);
    pump(2410);
    EXPECT_EQ(fired(), Fired{3});
    pump(2000);
    EXPECT_EQ(fired(), Fired{2});
    copy_notify->Release();
    copy->Release();
}

} // namespace
} // namespace dsound_test
