// A joystick: absolute axes scaled to the ranges the program set (0..65535
// until it sets others), POV hats and 32 buttons.
#include "dinput/device.h"
#include "dinput/joystick_guids.h"

#include <cstring>

namespace ludora::dinput {

namespace {

constexpr int kRangedAxes = 8; // X, Y, Z, Rx, Ry, Rz and the two sliders

class JoystickDevice final : public Device {
public:
    explicit JoystickDevice(const Joystick& j)
        : Device(DIDEVTYPE_JOYSTICK | (DIDEVTYPEJOYSTICK_TRADITIONAL << 8),
                 joystick_instance_guid(j.id), joystick_product_guid(), j.name, c_dfDIJoystick),
          id_(j.id), axes_(j.axis_count), buttons_(j.button_count), povs_(j.pov_count) {
        for (int i = 0; i < kRangedAxes; ++i) {
            min_[i] = 0;
            max_[i] = 65535;
        }
    }

protected:
    void read(void* data) override {
        Joystick j;
        const bool known = joystick_find(joystick_instance_guid(id_), j);
        DIJOYSTATE state{};
        LONG* axes[6] = {&state.lX, &state.lY, &state.lZ, &state.lRx, &state.lRy, &state.lRz};
        for (int i = 0; i < 6; ++i)
            *axes[i] = known && i < j.axis_count ? scale(i, j.axes[i]) : 0;
        for (int i = 0; i < 4; ++i)
            state.rgdwPOV[i] = known && i < j.pov_count ? j.povs[i] : 0xFFFFFFFF;
        for (int i = 0; i < kJoystickButtons; ++i)
            state.rgbButtons[i] = known && i < j.button_count && j.buttons[i] ? 0x80 : 0;
        std::memcpy(data, &state, sizeof state);
    }

    bool unplugged() const override {
        Joystick j;
        return !joystick_find(joystick_instance_guid(id_), j) || !j.attached;
    }

    bool polled() const override { return true; }
    DWORD axis_count() const override { return static_cast<DWORD>(axes_); }
    DWORD button_count() const override { return static_cast<DWORD>(buttons_); }
    DWORD pov_count() const override { return static_cast<DWORD>(povs_); }

    HRESULT set_range(DWORD how, DWORD object, LONG min, LONG max) override {
        if (how == DIPH_DEVICE) {
            for (int i = 0; i < kRangedAxes; ++i) {
                min_[i] = min;
                max_[i] = max;
            }
            return DI_OK;
        }
        const int axis = axis_of(how, object);
        if (axis < 0) return DIERR_OBJECTNOTFOUND;
        min_[axis] = min;
        max_[axis] = max;
        return DI_OK;
    }

    HRESULT get_range(DWORD how, DWORD object, LONG& min, LONG& max) override {
        if (how == DIPH_DEVICE) return DIERR_INVALIDPARAM; // a range belongs to one axis
        const int axis = axis_of(how, object);
        if (axis < 0) return DIERR_OBJECTNOTFOUND;
        min = min_[axis];
        max = max_[axis];
        return DI_OK;
    }

private:
    // The axis an offset (in c_dfDIJoystick) or an object id names; -1 for none.
    int axis_of(DWORD how, DWORD object) const {
        int axis = -1;
        if (how == DIPH_BYOFFSET) {
            if (object % 4 == 0 && object < DIJOFS_POV(0)) axis = static_cast<int>(object / 4);
        } else if (how == DIPH_BYID && (DIDFT_GETTYPE(object) & DIDFT_AXIS)) {
            axis = DIDFT_GETINSTANCE(object);
        }
        if (axis < 0 || axis >= kRangedAxes) return -1;
        if (axis < 6 && axis >= axes_) return -1; // the stick has no such axis
        return axis;
    }

    LONG scale(int axis, int raw) const {
        const int64_t span = int64_t(max_[axis]) - min_[axis];
        return static_cast<LONG>(min_[axis] + (int64_t(raw) + 32768) * span / 65535);
    }

    const int id_;
    const int axes_, buttons_, povs_;
    LONG min_[kRangedAxes];
    LONG max_[kRangedAxes];
};

} // namespace

Device* make_joystick_device(const GUID& instance) {
    Joystick j;
    if (!joystick_find(instance, j) || !j.attached) return nullptr;
    return new JoystickDevice(j);
}

} // namespace ludora::dinput
