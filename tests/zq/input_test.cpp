// Keyboard, mouse and joystick: the acquisition rules against a scripted
// device, then real input through the window harness.
#include "zq_test_support.h"

#include "diagnostics.h"
#include "display_state.h"
#include "input_state.h"
#include "zq.h"

#include <ludora/harness_window.h>

#include <atomic>
#include <cstring>
#include <deque>
#include <thread>

namespace {

const HRESULT kInputLost = static_cast<HRESULT>(0x8007001E);
const HRESULT kNotAcquired = static_cast<HRESULT>(0x8007000C);
const HRESULT kOtherAppHasPrio = static_cast<HRESULT>(0x80070005);

// A device whose answers the test scripts; it counts what the library asks.
class ScriptedDevice : public IDirectInputDeviceA {
public:
    std::deque<HRESULT> acquireResults, stateResults;
    DIMOUSESTATE mouse = {};
    BYTE keys[256] = {};
    int acquires = 0, unacquires = 0;

    HRESULT STDMETHODCALLTYPE Acquire() override { return ++acquires, Next(acquireResults); }
    HRESULT STDMETHODCALLTYPE Unacquire() override { return ++unacquires, DI_OK; }
    HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override {
        const HRESULT result = Next(stateResults);
        if (result == DI_OK)
            std::memcpy(data, size == sizeof mouse ? (void*)&mouse : (void*)keys, size);
        return result;
    }
    // The rest is never asked for here.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetCapabilities(LPDIDEVCAPS) override { return DI_OK; }
    HRESULT STDMETHODCALLTYPE EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD) override {
        return DI_OK;
    }
    HRESULT STDMETHODCALLTYPE GetProperty(REFGUID, LPDIPROPHEADER) override { return DI_OK; }
    HRESULT STDMETHODCALLTYPE SetProperty(REFGUID, LPCDIPROPHEADER) override { return DI_OK; }
    HRESULT STDMETHODCALLTYPE GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override {
        return DI_OK;
    }
    HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT) override { return DI_OK; }
    HRESULT STDMETHODCALLTYPE SetEventNotification(HANDLE) override { return DI_OK; }
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND, DWORD) override { return DI_OK; }
    HRESULT STDMETHODCALLTYPE GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) override {
        return DI_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDeviceInfo(LPDIDEVICEINSTANCEA) override { return DI_OK; }
    HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override { return DI_OK; }
    HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD, REFGUID) override { return DI_OK; }

private:
    static HRESULT Next(std::deque<HRESULT>& results) {
        if (results.empty()) return DI_OK;
        const HRESULT result = results.front();
        results.pop_front();
        return result;
    }
};

class InputRules : public zqtest::ZqTest {
protected:
    void TearDown() override {
        g_lpMouse = nullptr;
        g_lpKBDevice = nullptr;
        g_bMouseAcquired = 0;
        zqtest::ZqTest::TearDown();
    }
    ScriptedDevice device_;
};

TEST_F(InputRules, MouseIsAcquiredOnceUntilReleased) {
    EXPECT_EQ(ZQAcquireMouse(1), 0); // no mouse: nothing to do
    int dx = 9, dy = 9, buttons = 9;
    ZQGetMouseData(&dx, &dy, &buttons);
    EXPECT_EQ(dx | dy | buttons, 0);

    g_lpMouse = &device_;
    g_bMouseAcquired = 0;
    EXPECT_EQ(ZQAcquireMouse(1), 1);
    EXPECT_EQ(ZQAcquireMouse(1), 1);
    EXPECT_EQ(device_.acquires, 1);
    EXPECT_EQ(ZQAcquireMouse(0), 1);
    EXPECT_EQ(device_.unacquires, 1);
    EXPECT_EQ(ZQAcquireMouse(1), 1);
    EXPECT_EQ(device_.acquires, 2);
}

TEST_F(InputRules, AcquireWithoutEffectIsReportedAndTriedAgain) {
    ZQDebugEnable(1);
    g_lpMouse = &device_;
    g_bMouseAcquired = 0;
    device_.acquireResults = {S_FALSE};
    EXPECT_EQ(ZQAcquireMouse(1), 1);
    EXPECT_EQ(g_bMouseAcquired.load(), 0);
    EXPECT_EQ(Log(), "Tried to acquire mouse unsuccessfully.\n");
    EXPECT_EQ(ZQAcquireMouse(1), 1);
    EXPECT_EQ(device_.acquires, 2);
    EXPECT_EQ(g_bMouseAcquired.load(), 1);
}

TEST_F(InputRules, MouseStateBecomesMotionAndAButtonMask) {
    g_lpMouse = &device_;
    device_.mouse.lX = -5;
    device_.mouse.lY = 3;
    device_.mouse.lZ = 120; // the wheel is ignored
    device_.mouse.rgbButtons[0] = 0x80;
    device_.mouse.rgbButtons[1] = 0x7F; // bit 7 clear: not down
    device_.mouse.rgbButtons[2] = 0x81;
    int dx = 0, dy = 0, buttons = 0;
    ZQGetMouseData(&dx, &dy, &buttons);
    EXPECT_EQ(dx, -5);
    EXPECT_EQ(dy, 3);
    EXPECT_EQ(buttons, 5);

    device_.mouse.rgbButtons[3] = 0x80;
    ZQGetMouseData(&dx, &dy, &buttons);
    EXPECT_EQ(buttons, 13);
}

TEST_F(InputRules, LostMouseIsReacquiredAndTheFrameReadsZeros) {
    g_lpMouse = &device_;
    g_bMouseAcquired = 1;
    device_.mouse.lX = 40;
    device_.stateResults = {kInputLost};
    int dx = 1, dy = 1, buttons = 1;
    ZQGetMouseData(&dx, &dy, &buttons);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(buttons, 0);
    EXPECT_EQ(device_.acquires, 1);
    EXPECT_EQ(g_bMouseAcquired.load(), 1);

    device_.stateResults = {kNotAcquired};
    ZQGetMouseData(&dx, &dy, &buttons);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(device_.acquires, 1);
    ZQGetMouseData(&dx, &dy, &buttons);
    EXPECT_EQ(dx, 40);
}

TEST_F(InputRules, KeyboardReadsRecoverFromLossAndGiveUpOnPriority) {
    g_lpKBDevice = &device_;
    device_.keys[DIK_ESCAPE] = 0x80;
    unsigned char* keys = ZQGetKeys();
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys[DIK_ESCAPE], 0x80);

    // Lost twice, then read again after each re-acquisition.
    device_.stateResults = {kInputLost, kInputLost, DI_OK};
    device_.acquires = 0;
    EXPECT_EQ(ZQGetKeys(), keys);
    EXPECT_EQ(device_.acquires, 3);

    // Another program has the keyboard.
    device_.acquireResults = {kOtherAppHasPrio};
    EXPECT_EQ(ZQGetKeys(), nullptr);
    // Lost and not recoverable.
    device_.stateResults = {kInputLost};
    device_.acquireResults = {DI_OK, kNotAcquired};
    EXPECT_EQ(ZQGetKeys(), nullptr);
    // Not acquired: no array.
    device_.stateResults = {kNotAcquired};
    EXPECT_EQ(ZQGetKeys(), nullptr);

    // Any other failure keeps the previous state.
    device_.stateResults = {E_FAIL};
    device_.keys[DIK_ESCAPE] = 0;
    keys = ZQGetKeys();
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys[DIK_ESCAPE], 0x80);
}

// The same, through the window harness and the layer's DirectInput.
class RealInput : public zqtest::ZqTest {
protected:
    void SetUp() override {
        zqtest::ZqTest::SetUp();
        window_ = MakeWindow(640, 480, 100, 100);
        ASSERT_NE(window_, nullptr);
        g_hWnd = window_;
        ZQSetInstance(nullptr);
    }
    void Pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    HWND window_ = nullptr;
};

TEST_F(RealInput, EscapeKeyIsSeenWhileHeld) {
    unsigned char* keys = ZQGetKeys(); // creates and acquires the keyboard itself
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys[DIK_ESCAPE], 0);
    LudoraPostKey(VK_ESCAPE, 1);
    Pump();
    keys = ZQGetKeys();
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys[DIK_ESCAPE], 0x80);
    EXPECT_EQ(keys[DIK_SPACE], 0);
    LudoraPostKey(VK_ESCAPE, 0);
    Pump();
    keys = ZQGetKeys();
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys[DIK_ESCAPE], 0);
}

TEST_F(RealInput, MouseMotionAndButtonsArriveOnceEach) {
    ASSERT_EQ(ZQInitMouse(), 1);
    EXPECT_EQ(ZQInitMouse(), 1); // already there
    ASSERT_EQ(ZQAcquireMouse(1), 1);
    LudoraPostMouseMove(100, 100);
    Pump();
    int dx = 0, dy = 0, buttons = 0;
    ZQGetMouseData(&dx, &dy, &buttons);

    LudoraPostMouseMove(95, 100);
    Pump();
    ZQGetMouseData(&dx, &dy, &buttons);
    EXPECT_EQ(dx, -5);
    EXPECT_EQ(dy, 0);
    ZQGetMouseData(&dx, &dy, &buttons);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);

    LudoraPostMouseButton(0, 1);
    LudoraPostMouseButton(1, 1);
    Pump();
    ZQGetMouseData(&dx, &dy, &buttons);
    EXPECT_EQ(buttons, 3);
    LudoraPostMouseButton(0, 0);
    Pump();
    ZQGetMouseData(&dx, &dy, &buttons);
    EXPECT_EQ(buttons, 2);
}

TEST_F(RealInput, MouseIsReadFromTheTimerThreadWhileTheMainThreadAcquires) {
    ASSERT_EQ(ZQInitMouse(), 1);
    std::atomic<bool> stop{false};
    std::thread poller([&] {
        int dx, dy, buttons;
        while (!stop)
            ZQGetMouseData(&dx, &dy, &buttons);
    });
    for (int i = 0; i < 200; ++i) {
        ZQAcquireMouse(i % 2);
        Pump();
    }
    stop = true;
    poller.join();
    EXPECT_EQ(ZQAcquireMouse(1), 1);
}

TEST_F(RealInput, TheLastUsableJoystickIsUsedWithAxesOfAThousand) {
    DIJOYSTATE state;
    std::memset(&state, 0, sizeof state);
    EXPECT_EQ(ZQReadJoystickInput(&state), 0); // none yet
    EXPECT_EQ(ZQReacquireInput(), 0);

    const int first = LudoraAttachJoystick("first");
    const int second = LudoraAttachJoystick("second");
    ZQInitJoystick();
    LudoraSetJoystickAxis(first, 0, -32768);
    LudoraSetJoystickAxis(second, 0, 32767);
    LudoraSetJoystickAxis(second, 1, -32768);
    Pump();
    EXPECT_EQ(ZQReadJoystickInput(&state), 0);
    EXPECT_EQ(state.lX, 1000);
    EXPECT_EQ(state.lY, -1000);
    LudoraDetachJoystick(second);
    LudoraDetachJoystick(first);
}

} // namespace
