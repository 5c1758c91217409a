// DirectInput as zq uses it: keyboard and mouse state fed by the script,
// foreground acquisition rules, joystick enumeration and axis ranges.
#include <ludora/harness.h>
#include <windows.h>
#include <dinput.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

namespace {

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

class DirectInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        LudoraResetWindows();
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = "Input Class";
        ASSERT_NE(RegisterClassA(&wc), 0);
        hwnd = CreateWindowExA(0, "Input Class", "Input", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480,
                               nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(hwnd, nullptr);
        ASSERT_EQ(DirectInputCreateA(nullptr, DIRECTINPUT_VERSION, &di, nullptr), DI_OK);
    }
    void TearDown() override {
        for (int id : joysticks)
            LudoraDetachJoystick(id);
        if (di) di->Release();
        LudoraResetWindows();
    }

    void pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

    LPDIRECTINPUTDEVICEA device(const GUID& guid, const DIDATAFORMAT& format) {
        LPDIRECTINPUTDEVICEA dev = nullptr;
        EXPECT_EQ(di->CreateDevice(guid, &dev, nullptr), DI_OK);
        EXPECT_EQ(dev->SetDataFormat(&format), DI_OK);
        EXPECT_EQ(dev->SetCooperativeLevel(hwnd, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
        return dev;
    }

    int attach(const char* name) {
        const int id = LudoraAttachJoystick(name);
        joysticks.push_back(id);
        return id;
    }

    HWND hwnd = nullptr;
    LPDIRECTINPUTA di = nullptr;
    std::vector<int> joysticks;
};

TEST_F(DirectInputTest, CreationChecksVersionAndArguments) {
    LPDIRECTINPUTA other = reinterpret_cast<LPDIRECTINPUTA>(1);
    EXPECT_EQ(DirectInputCreateA(nullptr, 0x0700, &other, nullptr), DIERR_OLDDIRECTINPUTVERSION);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(DirectInputCreateA(nullptr, 0x0200, &other, nullptr), DIERR_BETADIRECTINPUTVERSION);
    EXPECT_EQ(DirectInputCreateA(nullptr, 0x0500, nullptr, nullptr), DIERR_INVALIDPARAM);
    ASSERT_EQ(DirectInputCreateA(nullptr, 0x0300, &other, nullptr), DI_OK);
    EXPECT_EQ(other->AddRef(), 2u);
    EXPECT_EQ(other->Release(), 1u);
    EXPECT_EQ(other->Release(), 0u);

    LPDIRECTINPUTDEVICEA dev = nullptr;
    EXPECT_EQ(di->CreateDevice(GUID_Joystick, &dev, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(dev, nullptr);
    EXPECT_EQ(di->GetDeviceStatus(GUID_SysMouse), DI_OK);
}

TEST_F(DirectInputTest, KeyboardStateFollowsTheScript) {
    LPDIRECTINPUTDEVICEA kb = device(GUID_SysKeyboard, c_dfDIKeyboard);
    ASSERT_EQ(kb->Acquire(), DI_OK);
    EXPECT_EQ(kb->Acquire(), S_FALSE); // already acquired
    LudoraRunScript("key down ESCAPE\nkey down RSHIFT\nkey down LEFT\n");
    pump();
    BYTE keys[256];
    ASSERT_EQ(kb->GetDeviceState(sizeof keys, keys), DI_OK);
    EXPECT_EQ(keys[DIK_ESCAPE], 0x80);
    EXPECT_EQ(keys[DIK_RSHIFT], 0x80);
    EXPECT_EQ(keys[DIK_LSHIFT], 0);
    EXPECT_EQ(keys[DIK_LEFT], 0x80);
    LudoraRunScript("key up ESCAPE\n");
    pump();
    ASSERT_EQ(kb->GetDeviceState(sizeof keys, keys), DI_OK);
    EXPECT_EQ(keys[DIK_ESCAPE], 0);
    EXPECT_EQ(kb->GetDeviceState(100, keys), DIERR_INVALIDPARAM);
    EXPECT_EQ(kb->GetDeviceState(sizeof keys, nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(kb->Unacquire(), DI_OK);
    EXPECT_EQ(kb->Unacquire(), DI_NOEFFECT);
    EXPECT_EQ(kb->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
    EXPECT_EQ(kb->Release(), 0u);
}

TEST_F(DirectInputTest, MouseReportsMotionSinceTheLastRead) {
    LPDIRECTINPUTDEVICEA mouse = device(GUID_SysMouse, c_dfDIMouse);
    LudoraPostMouseMove(100, 100);
    pump();
    ASSERT_EQ(mouse->Acquire(), DI_OK); // motion before this is not reported
    LudoraPostMouseMove(95, 100);
    LudoraPostMouseButton(0, 1);
    pump();
    DIMOUSESTATE state;
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, -5);
    EXPECT_EQ(state.lY, 0);
    EXPECT_EQ(state.rgbButtons[0], 0x80);
    EXPECT_EQ(state.rgbButtons[1], 0);
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 0);
    LudoraRunScript("move 98 120\ndown right\n");
    pump();
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 3);
    EXPECT_EQ(state.lY, 20);
    EXPECT_EQ(state.rgbButtons[1], 0x80);
    LudoraPostMouseButton(0, 0);
    LudoraPostMouseButton(1, 0);
    pump();
    mouse->Release();
}

// The toolkit's key queue samples the keyboard once per message taken and
// looks for keys that went down since: every scripted key must show.
TEST_F(DirectInputTest, EveryScriptedKeyIsSeenDownBetweenMessages) {
    LPDIRECTINPUTDEVICEA kb = device(GUID_SysKeyboard, c_dfDIKeyboard);
    ASSERT_EQ(kb->Acquire(), DI_OK);
    LudoraRunScript("type Ab\nkey press RETURN\n");
    BYTE previous[256] = {};
    std::vector<int> pressed;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        BYTE keys[256];
        ASSERT_EQ(kb->GetDeviceState(sizeof keys, keys), DI_OK);
        for (int i = 0; i < 256; ++i)
            if ((keys[i] & 0x80) && !(previous[i] & 0x80)) pressed.push_back(i);
        std::memcpy(previous, keys, sizeof keys);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(pressed, (std::vector<int>{DIK_LSHIFT, DIK_A, DIK_B, DIK_RETURN}));
    kb->Release();
}

TEST_F(DirectInputTest, ForegroundDevicesLoseAcquisitionWithTheForeground) {
    LPDIRECTINPUTDEVICEA kb = device(GUID_SysKeyboard, c_dfDIKeyboard);
    LPDIRECTINPUTDEVICEA mouse = device(GUID_SysMouse, c_dfDIMouse);
    ASSERT_EQ(kb->Acquire(), DI_OK);
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    EXPECT_EQ(mouse->SetDataFormat(&c_dfDIMouse), DIERR_ACQUIRED);
    LudoraRunScript("activate 0\n");
    pump();
    BYTE keys[256];
    DIMOUSESTATE state;
    EXPECT_EQ(kb->GetDeviceState(sizeof keys, keys), DIERR_INPUTLOST);
    EXPECT_EQ(kb->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
    EXPECT_EQ(kb->Acquire(), DIERR_OTHERAPPHASPRIO);
    LudoraRunScript("activate 1\n");
    pump();
    // The mouse was never read in the background: its loss shows on the next read.
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), DIERR_INPUTLOST);
    EXPECT_EQ(mouse->Acquire(), DI_OK);
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(kb->Acquire(), DI_OK);
    EXPECT_EQ(kb->GetDeviceState(sizeof keys, keys), DI_OK);

    // Background devices keep their acquisition.
    LPDIRECTINPUTDEVICEA bg = nullptr;
    ASSERT_EQ(di->CreateDevice(GUID_SysKeyboard, &bg, nullptr), DI_OK);
    EXPECT_EQ(bg->Acquire(), DIERR_INVALIDPARAM); // no data format yet
    bg->SetDataFormat(&c_dfDIKeyboard);
    EXPECT_EQ(bg->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
    EXPECT_EQ(bg->Acquire(), DI_OK);
    LudoraActivate(0);
    pump();
    EXPECT_EQ(bg->GetDeviceState(sizeof keys, keys), DI_OK);
    bg->Release();
    kb->Release();
    mouse->Release();
}

TEST_F(DirectInputTest, CooperativeLevelIsChecked) {
    LPDIRECTINPUTDEVICEA kb = nullptr;
    ASSERT_EQ(di->CreateDevice(GUID_SysKeyboard, &kb, nullptr), DI_OK);
    EXPECT_EQ(kb->SetCooperativeLevel(hwnd, DISCL_FOREGROUND), DIERR_INVALIDPARAM);
    EXPECT_EQ(
        kb->SetCooperativeLevel(hwnd, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
        DIERR_INVALIDPARAM);
    EXPECT_EQ(kb->SetCooperativeLevel(hwnd, DISCL_EXCLUSIVE | DISCL_BACKGROUND), DIERR_UNSUPPORTED);
    EXPECT_EQ(kb->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), E_HANDLE);
    EXPECT_EQ(kb->SetDataFormat(&c_dfDIMouse), DIERR_INVALIDPARAM); // not a keyboard layout
    EXPECT_EQ(kb->SetDataFormat(nullptr), DIERR_INVALIDPARAM);
    kb->Release();
}

TEST_F(DirectInputTest, QueryInterfaceAndReferenceCounts) {
    LPDIRECTINPUTDEVICEA mouse = nullptr;
    ASSERT_EQ(di->CreateDevice(GUID_SysMouse, &mouse, nullptr), DI_OK);
    LPDIRECTINPUTDEVICE2A mouse2 = nullptr;
    ASSERT_EQ(mouse->QueryInterface(IID_IDirectInputDevice2A, reinterpret_cast<void**>(&mouse2)),
              S_OK);
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(mouse->QueryInterface(IID_IDirectInputA, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(mouse->Release(), 1u);
    EXPECT_EQ(mouse2->Poll(), DIERR_NOTACQUIRED);
    DIDEVICEINSTANCEA info{};
    info.dwSize = sizeof info;
    ASSERT_EQ(mouse2->GetDeviceInfo(&info), DI_OK);
    EXPECT_EQ(GET_DIDEVICE_TYPE(info.dwDevType), DIDEVTYPE_MOUSE);
    EXPECT_TRUE(info.guidInstance == GUID_SysMouse);
    EXPECT_EQ(mouse2->Release(), 0u);
}

struct Enumerated {
    LPDIRECTINPUTA di;
    HWND hwnd;
    std::vector<std::string> names;
    LPDIRECTINPUTDEVICE2A chosen = nullptr;
    int stop_after = 0;
};

// The enumeration callback of zq: set up every joystick, keep the last usable one.
BOOL CALLBACK TakeJoystick(LPCDIDEVICEINSTANCEA instance, LPVOID context) {
    auto* e = static_cast<Enumerated*>(context);
    e->names.push_back(instance->tszInstanceName);
    LPDIRECTINPUTDEVICEA dev = nullptr;
    if (FAILED(e->di->CreateDevice(instance->guidInstance, &dev, nullptr))) return DIENUM_CONTINUE;
    LPDIRECTINPUTDEVICE2A dev2 = nullptr;
    dev->QueryInterface(IID_IDirectInputDevice2A, reinterpret_cast<void**>(&dev2));
    dev->Release();
    DIPROPRANGE range{};
    range.diph.dwSize = sizeof range;
    range.diph.dwHeaderSize = sizeof range.diph;
    range.diph.dwHow = DIPH_BYOFFSET;
    range.lMin = -1000;
    range.lMax = 1000;
    bool ok = dev2->SetDataFormat(&c_dfDIJoystick) == DI_OK &&
              dev2->SetCooperativeLevel(e->hwnd, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND) == DI_OK;
    range.diph.dwObj = DIJOFS_X;
    ok = ok && dev2->SetProperty(DIPROP_RANGE, &range.diph) == DI_OK;
    range.diph.dwObj = DIJOFS_Y;
    ok = ok && dev2->SetProperty(DIPROP_RANGE, &range.diph) == DI_OK;
    if (!ok) {
        dev2->Release();
        return DIENUM_CONTINUE;
    }
    if (e->chosen) e->chosen->Release();
    e->chosen = dev2;
    if (e->stop_after && static_cast<int>(e->names.size()) == e->stop_after) return DIENUM_STOP;
    return DIENUM_CONTINUE;
}

TEST_F(DirectInputTest, EnumerationKeepsTheLastUsableJoystick) {
    const int first = attach("First Pad");
    const int second = attach("Second Pad");
    Enumerated e{di, hwnd, {}};
    ASSERT_EQ(di->EnumDevices(DIDEVTYPE_JOYSTICK, TakeJoystick, &e, DIEDFL_ATTACHEDONLY), DI_OK);
    ASSERT_EQ(e.names, (std::vector<std::string>{"First Pad", "Second Pad"}));
    ASSERT_NE(e.chosen, nullptr);
    DIDEVICEINSTANCEA info{};
    info.dwSize = sizeof info;
    e.chosen->GetDeviceInfo(&info);
    EXPECT_STREQ(info.tszInstanceName, "Second Pad");

    // Scaled to -1000..1000 on X and Y; the other axes keep 0..65535.
    LudoraSetJoystickAxis(second, 0, -32768);
    LudoraSetJoystickAxis(second, 1, 32767);
    LudoraSetJoystickAxis(second, 2, 0);
    LudoraSetJoystickButton(second, 3, 1);
    DIJOYSTATE state;
    EXPECT_EQ(e.chosen->GetDeviceState(sizeof state, &state), DIERR_NOTACQUIRED);
    ASSERT_EQ(e.chosen->Acquire(), DI_OK);
    ASSERT_EQ(e.chosen->Poll(), DI_OK);
    ASSERT_EQ(e.chosen->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, -1000);
    EXPECT_EQ(state.lY, 1000);
    EXPECT_EQ(state.lZ, 32768);
    EXPECT_EQ(state.rgbButtons[3], 0x80);
    EXPECT_EQ(state.rgbButtons[0], 0);
    LudoraSetJoystickAxis(second, 0, 0);
    e.chosen->GetDeviceState(sizeof state, &state);
    EXPECT_EQ(state.lX, 0);

    DIPROPRANGE read{};
    read.diph.dwSize = sizeof read;
    read.diph.dwHeaderSize = sizeof read.diph;
    read.diph.dwHow = DIPH_BYOFFSET;
    read.diph.dwObj = DIJOFS_RZ;
    ASSERT_EQ(e.chosen->GetProperty(DIPROP_RANGE, &read.diph), DI_OK);
    EXPECT_EQ(read.lMin, 0);
    EXPECT_EQ(read.lMax, 65535);

    // An unplugged stick: the read says so, and it drops out of the enumeration.
    LudoraDetachJoystick(second);
    EXPECT_EQ(e.chosen->GetDeviceState(sizeof state, &state), DIERR_INPUTLOST);
    EXPECT_EQ(di->GetDeviceStatus(info.guidInstance), DI_NOTATTACHED);
    e.chosen->Release();
    Enumerated again{di, hwnd, {}};
    di->EnumDevices(DIDEVTYPE_JOYSTICK, TakeJoystick, &again, DIEDFL_ATTACHEDONLY);
    EXPECT_EQ(again.names, (std::vector<std::string>{"First Pad"}));
    again.chosen->Release();
    (void)first;
}

TEST_F(DirectInputTest, EnumerationStopsWhenAsked) {
    attach("One");
    attach("Two");
    Enumerated e{di, hwnd, {}};
    e.stop_after = 1;
    di->EnumDevices(DIDEVTYPE_JOYSTICK, TakeJoystick, &e, DIEDFL_ATTACHEDONLY);
    EXPECT_EQ(e.names.size(), 1u);
    e.chosen->Release();

    std::vector<DWORD> types;
    auto collect = [](LPCDIDEVICEINSTANCEA instance, LPVOID context) -> BOOL {
        static_cast<std::vector<DWORD>*>(context)->push_back(
            GET_DIDEVICE_TYPE(instance->dwDevType));
        return DIENUM_CONTINUE;
    };
    ASSERT_EQ(di->EnumDevices(0, collect, &types, 0), DI_OK);
    EXPECT_EQ(types, (std::vector<DWORD>{DIDEVTYPE_MOUSE, DIDEVTYPE_KEYBOARD, DIDEVTYPE_JOYSTICK,
                                         DIDEVTYPE_JOYSTICK}));
    EXPECT_EQ(di->EnumDevices(DIDEVTYPE_JOYSTICK, nullptr, nullptr, 0), DIERR_INVALIDPARAM);
}

TEST_F(DirectInputTest, RangesAreValidated) {
    LPDIRECTINPUTDEVICEA dev = nullptr;
    const int id = attach("Stick");
    DIDEVICEINSTANCEA info{};
    auto find = [](LPCDIDEVICEINSTANCEA instance, LPVOID context) -> BOOL {
        *static_cast<DIDEVICEINSTANCEA*>(context) = *instance;
        return DIENUM_CONTINUE;
    };
    di->EnumDevices(DIDEVTYPE_JOYSTICK, find, &info, DIEDFL_ATTACHEDONLY);
    ASSERT_EQ(di->CreateDevice(info.guidInstance, &dev, nullptr), DI_OK);
    DIPROPRANGE range{};
    range.diph.dwSize = sizeof range;
    range.diph.dwHeaderSize = sizeof range.diph;
    range.diph.dwHow = DIPH_BYOFFSET;
    range.diph.dwObj = DIJOFS_X;
    range.lMin = -10;
    range.lMax = 10;
    EXPECT_EQ(dev->SetProperty(DIPROP_RANGE, &range.diph), DIERR_OBJECTNOTFOUND); // no format yet
    dev->SetDataFormat(&c_dfDIJoystick);
    range.lMin = 10;
    EXPECT_EQ(dev->SetProperty(DIPROP_RANGE, &range.diph), DIERR_INVALIDPARAM);
    range.lMin = -10;
    range.diph.dwObj = DIJOFS_BUTTON(0);
    EXPECT_EQ(dev->SetProperty(DIPROP_RANGE, &range.diph), DIERR_OBJECTNOTFOUND);
    range.diph.dwObj = DIJOFS_Y;
    range.diph.dwSize = sizeof(DIPROPDWORD);
    EXPECT_EQ(dev->SetProperty(DIPROP_RANGE, &range.diph), DIERR_INVALIDPARAM);
    range.diph.dwSize = sizeof range;
    EXPECT_EQ(dev->SetProperty(DIPROP_RANGE, &range.diph), DI_OK);
    dev->Release();

    LPDIRECTINPUTDEVICEA kb = nullptr;
    di->CreateDevice(GUID_SysKeyboard, &kb, nullptr);
    kb->SetDataFormat(&c_dfDIKeyboard);
    EXPECT_EQ(kb->SetProperty(DIPROP_RANGE, &range.diph), DIERR_UNSUPPORTED);
    kb->Release();
    (void)id;
}

// The clock thread polls the mouse while the UI thread moves it and reads keys.
TEST_F(DirectInputTest, MouseIsReadSafelyFromAnotherThread) {
    LPDIRECTINPUTDEVICEA mouse = device(GUID_SysMouse, c_dfDIMouse);
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    POINT before;
    GetCursorPos(&before);
    std::atomic<bool> done{false};
    std::atomic<long> total{0};
    std::thread poller([&] {
        DIMOUSESTATE state;
        while (!done) {
            if (mouse->GetDeviceState(sizeof state, &state) == DI_OK) total += state.lX;
            GetAsyncKeyState(VK_LBUTTON);
        }
    });
    for (int i = 1; i <= 200; ++i) {
        LudoraPostMouseMove(i, 10);
        LudoraPostMouseButton(0, i % 2);
        pump();
    }
    done = true;
    poller.join();
    DIMOUSESTATE state;
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    total += state.lX;
    LudoraPostMouseButton(0, 0);
    POINT after;
    GetCursorPos(&after);
    EXPECT_EQ(total.load(), after.x - before.x); // every unit of motion is reported once
    mouse->Release();
}

} // namespace

// Every way of leaving the foreground takes a foreground device's acquisition:
// hiding, minimising or destroying the active window as much as another program.
TEST_F(DirectInputTest, EveryWayOfLeavingTheForegroundLosesTheDevice) {
    LPDIRECTINPUTDEVICEA kb = device(GUID_SysKeyboard, c_dfDIKeyboard);
    BYTE keys[256];
    const std::vector<std::pair<const char*, void (*)(HWND)>> departures = {
        {"hidden", [](HWND w) { ShowWindow(w, SW_HIDE); }},
        {"minimised", [](HWND w) { ShowWindow(w, SW_MINIMIZE); }},
        {"another program", [](HWND) { LudoraActivate(0); }},
    };
    for (const auto& [how, leave] : departures) {
        ShowWindow(hwnd, SW_RESTORE);
        SetForegroundWindow(hwnd);
        pump();
        ASSERT_EQ(kb->Acquire(), DI_OK) << how;
        leave(hwnd);
        pump();
        EXPECT_EQ(kb->GetDeviceState(sizeof keys, keys), DIERR_INPUTLOST) << how;
        EXPECT_EQ(kb->Acquire(), DIERR_OTHERAPPHASPRIO) << how;
    }
    ShowWindow(hwnd, SW_RESTORE);
    SetForegroundWindow(hwnd);
    ASSERT_EQ(kb->Acquire(), DI_OK);
    DestroyWindow(hwnd);
    EXPECT_EQ(kb->GetDeviceState(sizeof keys, keys), DIERR_INPUTLOST);
    kb->Release();
}
