// The DirectInput object: device creation and enumeration.
#include "dinput/device.h"
#include "dinput/joystick_guids.h"

#include <atomic>
#include <cstring>
#include <vector>

namespace ludora::dinput {

namespace {

// This layer is DirectX 5: it accepts the interfaces of versions 3 and 5.
HRESULT check_version(DWORD version) {
    if (version < 0x0300) return DIERR_BETADIRECTINPUTVERSION;
    if (version > DIRECTINPUT_VERSION) return DIERR_OLDDIRECTINPUTVERSION;
    return DI_OK;
}

class DirectInput final : public IDirectInputA {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDirectInputA) {
            *out = static_cast<IDirectInputA*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID guid, LPDIRECTINPUTDEVICEA* out,
                                           LPUNKNOWN outer) override {
        if (!out) return DIERR_INVALIDPARAM;
        *out = nullptr;
        if (outer) return DIERR_NOAGGREGATION;
        Device* device = nullptr;
        if (guid == GUID_SysKeyboard)
            device = make_keyboard_device();
        else if (guid == GUID_SysMouse)
            device = make_mouse_device();
        else
            device = make_joystick_device(guid);
        if (!device) return DIERR_DEVICENOTREG;
        *out = device;
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE EnumDevices(DWORD type, LPDIENUMDEVICESCALLBACKA callback, LPVOID ref,
                                          DWORD flags) override {
        if (!callback) return DIERR_INVALIDPARAM;
        if (flags & ~static_cast<DWORD>(DIEDFL_ATTACHEDONLY | DIEDFL_FORCEFEEDBACK))
            return DIERR_INVALIDPARAM;
        if (type > DIDEVTYPE_JOYSTICK) return DIERR_INVALIDPARAM;
        if (flags & DIEDFL_FORCEFEEDBACK) return DI_OK; // no force-feedback devices here
        std::vector<DIDEVICEINSTANCEA> found;
        auto add = [&](Device* device) {
            DIDEVICEINSTANCEA info;
            device->describe(info);
            device->Release();
            if (type == 0 || GET_DIDEVICE_TYPE(info.dwDevType) == type) found.push_back(info);
        };
        add(make_mouse_device());
        add(make_keyboard_device());
        for (const Joystick& j : window::joysticks_attached())
            if (Device* device = make_joystick_device(joystick_instance_guid(j.id))) add(device);
        // The callback may create devices: no lock is held while it runs.
        for (const DIDEVICEINSTANCEA& info : found)
            if (callback(&info, ref) == DIENUM_STOP) break;
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE GetDeviceStatus(REFGUID guid) override {
        if (guid == GUID_SysKeyboard || guid == GUID_SysMouse) return DI_OK;
        Joystick j;
        if (!joystick_find(guid, j)) return DIERR_DEVICENOTREG;
        return j.attached ? DI_OK : DI_NOTATTACHED;
    }

    HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override { return DI_OK; }
    HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD version) override {
        return check_version(version);
    }

private:
    ~DirectInput() override = default;
    std::atomic<ULONG> refs_{1};
};

} // namespace

} // namespace ludora::dinput

extern "C" HRESULT WINAPI DirectInputCreateA(HINSTANCE, DWORD version, LPDIRECTINPUTA* out,
                                             LPUNKNOWN outer) {
    if (!out) return DIERR_INVALIDPARAM;
    *out = nullptr;
    if (outer) return DIERR_NOAGGREGATION;
    if (const HRESULT check = ludora::dinput::check_version(version); FAILED(check)) return check;
    *out = new ludora::dinput::DirectInput;
    return DI_OK;
}
