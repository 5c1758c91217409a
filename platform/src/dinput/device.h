// What every DirectInput device shares: reference counting, data format,
// cooperative level and acquisition. On Windows a foreground device loses
// its acquisition when the window leaves the foreground; the next read says
// DIERR_INPUTLOST once, then DIERR_NOTACQUIRED until it is acquired again.
#pragma once

#include <dinput.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace ludora::dinput {

class Device : public IDirectInputDevice2A {
public:
    Device(DWORD dev_type, const GUID& instance, const GUID& product, std::string name,
           const DIDATAFORMAT& format);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetCapabilities(LPDIDEVCAPS caps) override;
    HRESULT STDMETHODCALLTYPE EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD) override;
    HRESULT STDMETHODCALLTYPE GetProperty(REFGUID property, LPDIPROPHEADER header) override;
    HRESULT STDMETHODCALLTYPE SetProperty(REFGUID property, LPCDIPROPHEADER header) override;
    HRESULT STDMETHODCALLTYPE Acquire() override;
    HRESULT STDMETHODCALLTYPE Unacquire() override;
    HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override;
    HRESULT STDMETHODCALLTYPE GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override;
    HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT format) override;
    HRESULT STDMETHODCALLTYPE SetEventNotification(HANDLE) override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hwnd, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) override;
    HRESULT STDMETHODCALLTYPE GetDeviceInfo(LPDIDEVICEINSTANCEA info) override;
    HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override;
    HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD, REFGUID) override;

    HRESULT STDMETHODCALLTYPE CreateEffect(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*,
                                           LPUNKNOWN) override;
    HRESULT STDMETHODCALLTYPE EnumEffects(LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD) override;
    HRESULT STDMETHODCALLTYPE GetEffectInfo(LPDIEFFECTINFOA, REFGUID) override;
    HRESULT STDMETHODCALLTYPE GetForceFeedbackState(LPDWORD) override;
    HRESULT STDMETHODCALLTYPE SendForceFeedbackCommand(DWORD) override;
    HRESULT STDMETHODCALLTYPE EnumCreatedEffectObjects(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID,
                                                       DWORD) override;
    HRESULT STDMETHODCALLTYPE Escape(LPDIEFFESCAPE) override;
    HRESULT STDMETHODCALLTYPE Poll() override;
    HRESULT STDMETHODCALLTYPE SendDeviceData(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD) override;

    // Fills a DIDEVICEINSTANCEA for enumeration.
    void describe(DIDEVICEINSTANCEA& info) const;

protected:
    ~Device() override = default;
    // The device's state in its data format; called with the lock held.
    virtual void read(void* data) = 0;
    virtual void on_acquire() {}
    virtual bool unplugged() const { return false; }
    virtual HRESULT set_range(DWORD how, DWORD object, LONG min, LONG max);
    virtual HRESULT get_range(DWORD how, DWORD object, LONG& min, LONG& max);
    virtual DWORD axis_count() const { return 0; }
    virtual DWORD button_count() const { return 0; }
    virtual DWORD pov_count() const { return 0; }
    virtual bool polled() const { return false; }

    std::mutex mutex_;

private:
    // True when an acquisition has been taken away; the lock is held.
    bool lost_locked();

    std::atomic<ULONG> refs_{1};
    const DWORD dev_type_;
    const GUID instance_;
    const GUID product_;
    const std::string name_;
    const DIDATAFORMAT& expected_format_;
    bool format_set_ = false;
    DWORD cooperation_ = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    HWND window_ = nullptr;
    bool acquired_ = false;
    uint32_t acquired_generation_ = 0;
};

Device* make_keyboard_device();
Device* make_mouse_device();
// Null when no joystick has that instance GUID.
Device* make_joystick_device(const GUID& instance);

} // namespace ludora::dinput
