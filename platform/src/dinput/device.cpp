#include "dinput/device.h"

#include "window/foreground.h"

#include <winuser.h>

#include <algorithm>
#include <cstring>

namespace ludora::dinput {

Device::Device(DWORD dev_type, const GUID& instance, const GUID& product, std::string name,
               const DIDATAFORMAT& format)
    : dev_type_(dev_type), instance_(instance), product_(product), name_(std::move(name)),
      expected_format_(format) {}

HRESULT Device::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectInputDeviceA ||
        riid == IID_IDirectInputDevice2A) {
        *out = static_cast<IDirectInputDevice2A*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG Device::AddRef() {
    return ++refs_;
}

ULONG Device::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

void Device::describe(DIDEVICEINSTANCEA& info) const {
    std::memset(&info, 0, sizeof info);
    info.dwSize = sizeof info;
    info.guidInstance = instance_;
    info.guidProduct = product_;
    info.dwDevType = dev_type_;
    std::strncpy(info.tszInstanceName, name_.c_str(), MAX_PATH - 1);
    std::strncpy(info.tszProductName, name_.c_str(), MAX_PATH - 1);
}

HRESULT Device::GetCapabilities(LPDIDEVCAPS caps) {
    if (!caps || caps->dwSize != sizeof(DIDEVCAPS)) return DIERR_INVALIDPARAM;
    std::memset(caps, 0, sizeof *caps);
    caps->dwSize = sizeof(DIDEVCAPS);
    caps->dwFlags = unplugged() ? 0 : DIDC_ATTACHED;
    if (polled()) caps->dwFlags |= DIDC_POLLEDDEVICE;
    caps->dwDevType = dev_type_;
    caps->dwAxes = axis_count();
    caps->dwButtons = button_count();
    caps->dwPOVs = pov_count();
    return DI_OK;
}

HRESULT Device::EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD) {
    return DIERR_UNSUPPORTED;
}

HRESULT Device::set_range(DWORD, DWORD, LONG, LONG) {
    return DIERR_UNSUPPORTED;
}
HRESULT Device::get_range(DWORD, DWORD, LONG&, LONG&) {
    return DIERR_UNSUPPORTED;
}

// DIPROP_ values are small integers standing in for GUID addresses: a property
// is known by its address, never read.
static bool is_property(REFGUID property, REFGUID known) {
    return &property == &known;
}

HRESULT Device::GetProperty(REFGUID property, LPDIPROPHEADER header) {
    if (!header || header->dwHeaderSize != sizeof(DIPROPHEADER)) return DIERR_INVALIDPARAM;
    if (header->dwHow > DIPH_BYID) return DIERR_INVALIDPARAM;
    if (is_property(property, DIPROP_RANGE)) {
        if (header->dwSize != sizeof(DIPROPRANGE)) return DIERR_INVALIDPARAM;
        auto* range = reinterpret_cast<LPDIPROPRANGE>(header);
        std::lock_guard lock(mutex_);
        return get_range(header->dwHow, header->dwObj, range->lMin, range->lMax);
    }
    return DIERR_UNSUPPORTED;
}

HRESULT Device::SetProperty(REFGUID property, LPCDIPROPHEADER header) {
    if (!header || header->dwHeaderSize != sizeof(DIPROPHEADER)) return DIERR_INVALIDPARAM;
    if (header->dwHow > DIPH_BYID) return DIERR_INVALIDPARAM;
    if (header->dwHow == DIPH_DEVICE && header->dwObj != 0) return DIERR_INVALIDPARAM;
    if (is_property(property, DIPROP_RANGE)) {
        if (header->dwSize != sizeof(DIPROPRANGE)) return DIERR_INVALIDPARAM;
        const auto* range = reinterpret_cast<LPCDIPROPRANGE>(header);
        if (range->lMin >= range->lMax) return DIERR_INVALIDPARAM;
        std::lock_guard lock(mutex_);
        if (header->dwHow == DIPH_BYOFFSET && !format_set_) return DIERR_OBJECTNOTFOUND;
        return set_range(header->dwHow, header->dwObj, range->lMin, range->lMax);
    }
    return DIERR_UNSUPPORTED;
}

bool Device::lost_locked() {
    if (!acquired_) return false;
    if (unplugged()) return true;
    if (!(cooperation_ & DISCL_FOREGROUND)) return false;
    const window::ForegroundState foreground = window::foreground_state();
    return !foreground.window || foreground.generation != acquired_generation_;
}

HRESULT Device::Acquire() {
    std::lock_guard lock(mutex_);
    if (!format_set_) return DIERR_INVALIDPARAM;
    if (lost_locked()) acquired_ = false;
    if (acquired_) return S_FALSE;
    if (unplugged()) return DIERR_NOTFOUND;
    const window::ForegroundState foreground = window::foreground_state();
    if (cooperation_ & DISCL_FOREGROUND) {
        // Another application has the foreground: it has the input.
        if (!foreground.window || foreground.window != window_) return DIERR_OTHERAPPHASPRIO;
    }
    acquired_ = true;
    acquired_generation_ = foreground.generation;
    on_acquire();
    return DI_OK;
}

HRESULT Device::Unacquire() {
    std::lock_guard lock(mutex_);
    if (lost_locked()) acquired_ = false;
    if (!acquired_) return DI_NOEFFECT;
    acquired_ = false;
    return DI_OK;
}

HRESULT Device::GetDeviceState(DWORD size, LPVOID data) {
    if (!data) return DIERR_INVALIDPARAM;
    std::lock_guard lock(mutex_);
    if (format_set_ && size != expected_format_.dwDataSize) return DIERR_INVALIDPARAM;
    if (lost_locked()) {
        acquired_ = false;
        return DIERR_INPUTLOST;
    }
    if (!acquired_) return DIERR_NOTACQUIRED;
    read(data);
    return DI_OK;
}

HRESULT Device::GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) {
    return DIERR_NOTBUFFERED;
}

HRESULT Device::SetDataFormat(LPCDIDATAFORMAT format) {
    if (!format || format->dwSize != sizeof(DIDATAFORMAT) ||
        format->dwObjSize != sizeof(DIOBJECTDATAFORMAT))
        return DIERR_INVALIDPARAM;
    std::lock_guard lock(mutex_);
    if (acquired_ && !lost_locked()) return DIERR_ACQUIRED;
    // The device's standard format, or an identical copy of it; custom
    // layouts are not supported.
    const bool standard =
        format == &expected_format_ || (format->dwDataSize == expected_format_.dwDataSize &&
                                        format->dwNumObjs == expected_format_.dwNumObjs &&
                                        format->dwFlags == expected_format_.dwFlags);
    if (!standard) return DIERR_INVALIDPARAM;
    format_set_ = true;
    return DI_OK;
}

HRESULT Device::SetEventNotification(HANDLE) {
    return DIERR_UNSUPPORTED;
}

HRESULT Device::SetCooperativeLevel(HWND hwnd, DWORD flags) {
    const DWORD exclusivity = flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
    const DWORD ground = flags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
    if (exclusivity != DISCL_EXCLUSIVE && exclusivity != DISCL_NONEXCLUSIVE)
        return DIERR_INVALIDPARAM;
    if (ground != DISCL_FOREGROUND && ground != DISCL_BACKGROUND) return DIERR_INVALIDPARAM;
    if (flags & ~(DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND))
        return DIERR_INVALIDPARAM;
    // Windows keeps the keyboard from being taken exclusively in the background.
    if (GET_DIDEVICE_TYPE(dev_type_) == DIDEVTYPE_KEYBOARD && exclusivity == DISCL_EXCLUSIVE &&
        ground == DISCL_BACKGROUND)
        return DIERR_UNSUPPORTED;
    const bool needs_window = ground == DISCL_FOREGROUND || exclusivity == DISCL_EXCLUSIVE;
    if (needs_window && (!IsWindow(hwnd) || (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)))
        return E_HANDLE;
    std::lock_guard lock(mutex_);
    if (acquired_ && !lost_locked()) return DIERR_ACQUIRED;
    cooperation_ = flags;
    window_ = hwnd;
    return DI_OK;
}

HRESULT Device::GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) {
    return DIERR_UNSUPPORTED;
}

HRESULT Device::GetDeviceInfo(LPDIDEVICEINSTANCEA info) {
    // DirectX 3 programs pass the shorter record without the force-feedback fields.
    const DWORD short_size = offsetof(DIDEVICEINSTANCEA, guidFFDriver);
    if (!info || (info->dwSize != sizeof(DIDEVICEINSTANCEA) && info->dwSize != short_size))
        return DIERR_INVALIDPARAM;
    const DWORD size = info->dwSize;
    DIDEVICEINSTANCEA full;
    describe(full);
    full.dwSize = size;
    std::memcpy(info, &full, size);
    return DI_OK;
}

HRESULT Device::RunControlPanel(HWND, DWORD) {
    return DI_OK;
}
HRESULT Device::Initialize(HINSTANCE, DWORD, REFGUID guid) {
    return guid == instance_ ? S_FALSE : DIERR_ALREADYINITIALIZED;
}

// No force-feedback devices exist here.
HRESULT Device::CreateEffect(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT* out, LPUNKNOWN) {
    if (out) *out = nullptr;
    return DIERR_UNSUPPORTED;
}
HRESULT Device::EnumEffects(LPDIENUMEFFECTSCALLBACKA callback, LPVOID, DWORD) {
    return callback ? DI_OK : DIERR_INVALIDPARAM;
}
HRESULT Device::GetEffectInfo(LPDIEFFECTINFOA, REFGUID) {
    return DIERR_UNSUPPORTED;
}
HRESULT Device::GetForceFeedbackState(LPDWORD) {
    return DIERR_UNSUPPORTED;
}
HRESULT Device::SendForceFeedbackCommand(DWORD) {
    return DIERR_UNSUPPORTED;
}
HRESULT Device::EnumCreatedEffectObjects(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK callback, LPVOID,
                                         DWORD) {
    return callback ? DI_OK : DIERR_INVALIDPARAM;
}
HRESULT Device::Escape(LPDIEFFESCAPE) {
    return DIERR_UNSUPPORTED;
}
HRESULT Device::SendDeviceData(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD) {
    return DIERR_UNSUPPORTED;
}

HRESULT Device::Poll() {
    std::lock_guard lock(mutex_);
    if (lost_locked()) {
        acquired_ = false;
        return DIERR_INPUTLOST;
    }
    if (!acquired_) return DIERR_NOTACQUIRED;
    // Keyboard and mouse deliver their data without polling.
    return polled() ? DI_OK : DI_NOEFFECT;
}

} // namespace ludora::dinput
