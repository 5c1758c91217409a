// Keyboard, mouse and joystick through DirectInput 5, all non-exclusive and
// foreground on the application window.
#include "input_state.h"

#include "diagnostics.h"
#include "display_state.h"
#include "zq.h"

#include <string.h>

namespace {

const DWORD kCooperation = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;

// Results the library tests by value.
const HRESULT kInputLost = static_cast<HRESULT>(0x8007001E);
const HRESULT kNotAcquired = static_cast<HRESULT>(0x8007000C);
const HRESULT kInvalidParam = static_cast<HRESULT>(0x80070057);
const HRESULT kNotInitialized = static_cast<HRESULT>(0x80070015);
const HRESULT kOtherAppHasPrio = static_cast<HRESULT>(0x80070005);

bool EnsureDirectInput() {
    if (g_lpdi == nullptr) ZQInitDirectInput(g_hInstance);
    return g_lpdi != nullptr;
}

} // namespace

IDirectInput* g_lpdi = nullptr;
IDirectInputDevice* g_lpKBDevice = nullptr;
BYTE g_KeyState[256];
std::atomic<IDirectInputDevice*> g_lpMouse{nullptr};
std::atomic<int> g_bMouseAcquired{0};
IDirectInputDevice2* g_lpJoystick = nullptr;

IDirectInput* ZQInitDirectInput(HINSTANCE instance) {
    IDirectInput* directInput = nullptr;
    if (FAILED(DirectInputCreateA(instance, 0x0500, &directInput, nullptr))) directInput = nullptr;
    g_lpdi = directInput;
    return g_lpdi;
}

void ZQFreeDirectInput() {
    if (g_lpJoystick != nullptr) {
        g_lpJoystick->Unacquire();
        g_lpJoystick->Release();
        g_lpJoystick = nullptr;
    }
    // The keyboard and mouse go too: their DirectInput object is about to.
    if (g_lpKBDevice != nullptr) {
        g_lpKBDevice->Unacquire();
        g_lpKBDevice->Release();
        g_lpKBDevice = nullptr;
    }
    if (IDirectInputDevice* mouse = g_lpMouse.exchange(nullptr)) {
        mouse->Unacquire();
        mouse->Release();
    }
    g_bMouseAcquired = 0;
    if (g_lpdi != nullptr) {
        g_lpdi->Release();
        g_lpdi = nullptr;
    }
}

int ZQInitKeyboard() {
    if (!EnsureDirectInput()) return 0;
    if (g_lpKBDevice == nullptr) {
        IDirectInputDevice* keyboard = nullptr;
        if (FAILED(g_lpdi->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr))) return 0;
        g_lpKBDevice = keyboard;
    }
    if (FAILED(g_lpKBDevice->SetDataFormat(&c_dfDIKeyboard))) return 0;
    if (FAILED(g_lpKBDevice->SetCooperativeLevel(g_hWnd, kCooperation))) return 0;
    const HRESULT hr = g_lpKBDevice->Acquire();
    return hr == kInvalidParam || hr == kNotInitialized || hr == kOtherAppHasPrio ? 0 : 1;
}

unsigned char* ZQGetKeys() {
    if (g_lpKBDevice != nullptr) {
        const HRESULT hr = g_lpKBDevice->Acquire();
        if (hr == kOtherAppHasPrio || hr == kNotInitialized || hr == kInvalidParam) return nullptr;
    } else if (!ZQInitKeyboard()) {
        return nullptr;
    }
    HRESULT hr = g_lpKBDevice->GetDeviceState(sizeof g_KeyState, g_KeyState);
    while (hr == kInputLost) {
        if (g_lpKBDevice->Acquire() != DI_OK) return nullptr;
        hr = g_lpKBDevice->GetDeviceState(sizeof g_KeyState, g_KeyState);
    }
    if (hr == kInvalidParam || hr == kNotAcquired || hr == kNotInitialized) return nullptr;
    return g_KeyState;
}

int ZQInitMouse() {
    if (g_lpMouse.load() != nullptr) return 1;
    if (!EnsureDirectInput()) {
        ReportError("DirectInput: g_lpdi = NULL");
        return 0;
    }
    IDirectInputDevice* mouse = nullptr;
    if (FAILED(g_lpdi->CreateDevice(GUID_SysMouse, &mouse, nullptr)) || mouse == nullptr) {
        ReportError("DirectInput: can't create GUID_SysMouse");
        return 0;
    }
    g_lpMouse = mouse;
    if (FAILED(mouse->SetDataFormat(&c_dfDIMouse))) {
        ReportError("DirectInput: bad SetDataFormat");
        return 0;
    }
    // Acquired later, by ZQAcquireMouse.
    return mouse->SetCooperativeLevel(g_hWnd, kCooperation) == DI_OK ? 1 : 0;
}

int ZQAcquireMouse(int acquire) {
    IDirectInputDevice* mouse = g_lpMouse.load();
    if (mouse == nullptr) return 0;
    if (!acquire) {
        mouse->Unacquire();
        g_bMouseAcquired = 0;
        return 1;
    }
    // Only what the library last did is tracked, not DirectInput's own state.
    if (g_bMouseAcquired) return 1;
    if (mouse->Acquire() == S_FALSE)
        ReportError("Tried to acquire mouse unsuccessfully.");
    else
        g_bMouseAcquired = 1;
    return 1;
}

void ZQGetMouseData(int* dx, int* dy, int* buttons) {
    *dx = 0;
    *dy = 0;
    *buttons = 0;
    IDirectInputDevice* mouse = g_lpMouse.load();
    if (mouse == nullptr) return;
    DIMOUSESTATE state;
    memset(&state, 0, sizeof state);
    const HRESULT hr = mouse->GetDeviceState(sizeof state, &state);
    if (hr == DI_OK) {
        *dx = state.lX;
        *dy = state.lY;
        for (int i = 0; i < 4; ++i)
            if (state.rgbButtons[i] & 0x80) *buttons |= 1 << i;
    } else if (hr == kInputLost) {
        g_bMouseAcquired = 0;
        ZQAcquireMouse(1);
    }
}

void ZQInitJoystick() {
    if (!EnsureDirectInput()) return;
    g_lpdi->EnumDevices(DIDEVTYPE_JOYSTICK, ZQInitJoystickInput, g_lpdi, DIEDFL_ATTACHEDONLY);
    ZQReacquireInput();
}

static int DropJoystick(IDirectInputDevice2* joystick, const char* message) {
    OutputDebugStringA(message);
    joystick->Release();
    return DIENUM_CONTINUE;
}

BOOL CALLBACK ZQInitJoystickInput(const DIDEVICEINSTANCEA* instance, void* directInput) {
    IDirectInput* input = static_cast<IDirectInput*>(directInput);
    IDirectInputDevice* device = nullptr;
    if (FAILED(input->CreateDevice(instance->guidInstance, &device, nullptr)) ||
        device == nullptr) {
        OutputDebugStringA("IDirectInput::CreateDevice FAILED\n");
        return DIENUM_CONTINUE;
    }
    IDirectInputDevice2* joystick = nullptr;
    HRESULT hr =
        device->QueryInterface(IID_IDirectInputDevice2A, reinterpret_cast<void**>(&joystick));
    device->Release();
    if (FAILED(hr) || joystick == nullptr) return DIENUM_CONTINUE;

    if (FAILED(joystick->SetDataFormat(&c_dfDIJoystick)))
        return DropJoystick(joystick, "IDirectInputDevice::SetDataFormat FAILED\n");
    if (FAILED(joystick->SetCooperativeLevel(g_hWnd, kCooperation)))
        return DropJoystick(joystick, "IDirectInputDevice::SetCooperativeLevel FAILED\n");
    for (DWORD axis : {static_cast<DWORD>(DIJOFS_X), static_cast<DWORD>(DIJOFS_Y)}) {
        DIPROPRANGE range;
        memset(&range, 0, sizeof range);
        range.diph.dwSize = sizeof range;
        range.diph.dwHeaderSize = sizeof range.diph;
        range.diph.dwObj = axis;
        range.diph.dwHow = DIPH_BYOFFSET;
        range.lMin = -1000;
        range.lMax = 1000;
        if (FAILED(joystick->SetProperty(DIPROP_RANGE, &range.diph)))
            return DropJoystick(joystick, "IDirectInputDevice::SetProperty(DIPH_RANGE) FAILED\n");
    }
    // The enumeration goes on: the last usable joystick is the one kept.
    if (g_lpJoystick != nullptr) g_lpJoystick->Release();
    g_lpJoystick = joystick;
    return DIENUM_CONTINUE;
}

int ZQReacquireInput() {
    if (g_lpJoystick == nullptr) return 0;
    return g_lpJoystick->Acquire() == DI_OK ? 1 : 0;
}

int ZQReadJoystickInput(DIJOYSTATE* state) {
    if (g_lpJoystick == nullptr || state == nullptr) return 0;
    g_lpJoystick->Poll();
    if (g_lpJoystick->GetDeviceState(sizeof *state, state) == kInputLost) ZQReacquireInput();
    return 0;
}
