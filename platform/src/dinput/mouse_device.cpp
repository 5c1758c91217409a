// The system mouse: motion since the previous read and four buttons.
#include "dinput/device.h"
#include "window/input.h"

#include <algorithm>
#include <cstring>

namespace ludora::dinput {

namespace {

class MouseDevice final : public Device {
public:
    MouseDevice()
        : Device(DIDEVTYPE_MOUSE | (DIDEVTYPEMOUSE_TRADITIONAL << 8), GUID_SysMouse, GUID_SysMouse,
                 "Mouse", c_dfDIMouse) {}

protected:
    void read(void* data) override {
        const window::MouseState now = window::mouse_state();
        DIMOUSESTATE state{};
        state.lX = clamp_motion(now.x_total - last_x_);
        state.lY = clamp_motion(now.y_total - last_y_);
        state.lZ = 0;
        std::memcpy(state.rgbButtons, now.buttons, 4);
        last_x_ = now.x_total;
        last_y_ = now.y_total;
        std::memcpy(data, &state, sizeof state);
    }

    // Motion before the acquisition is not reported.
    void on_acquire() override {
        const window::MouseState now = window::mouse_state();
        last_x_ = now.x_total;
        last_y_ = now.y_total;
    }

    DWORD axis_count() const override { return 3; }
    DWORD button_count() const override { return 4; }

private:
    static LONG clamp_motion(int64_t v) {
        return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    }

    int64_t last_x_ = 0, last_y_ = 0;
};

} // namespace

Device* make_mouse_device() {
    return new MouseDevice;
}

} // namespace ludora::dinput
