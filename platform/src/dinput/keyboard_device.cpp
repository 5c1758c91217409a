// The system keyboard: 256 bytes by DirectInput code, bit 7 for down.
#include "dinput/device.h"
#include "window/input.h"

#include <cstring>

namespace ludora::dinput {

namespace {

class KeyboardDevice final : public Device {
public:
    KeyboardDevice()
        : Device(DIDEVTYPE_KEYBOARD | (DIDEVTYPEKEYBOARD_PCENH << 8), GUID_SysKeyboard,
                 GUID_SysKeyboard, "Keyboard", c_dfDIKeyboard) {}

protected:
    void read(void* data) override { window::keyboard_state(static_cast<uint8_t*>(data)); }
    DWORD button_count() const override { return 101; }
};

} // namespace

Device* make_keyboard_device() {
    return new KeyboardDevice;
}

} // namespace ludora::dinput
